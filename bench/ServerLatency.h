#pragma once
// Asks a PulseAudio server how long the data it holds for the (one) playback
// stream has to wait: the stream's queue ("Buffer Latency") and the sink's
// own ("Sink Latency"), as pactl list sink-inputs shows them. The last frame
// a client has written plays that long after the moment of the answer.
#include <pulse/pulseaudio.h>

#include <cstdint>
#include <optional>

namespace serverlatency {

struct Latency {
  uint64_t bufferUs = 0, sinkUs = 0;
};

class ServerLatency {
 public:
  ServerLatency() {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "korvanto bench latency");
    if (!context_) return;
    pa_context_set_state_callback(context_, &ServerLatency::OnState, this);
    pa_threaded_mainloop_lock(loop_);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
        pa_threaded_mainloop_start(loop_) >= 0) {
      for (;;) {
        const pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY) ready_ = true;
        if (!PA_CONTEXT_IS_GOOD(state) || ready_) break;
        pa_threaded_mainloop_wait(loop_);
      }
    }
    pa_threaded_mainloop_unlock(loop_);
  }
  ~ServerLatency() {
    if (loop_) pa_threaded_mainloop_stop(loop_);
    if (context_) {
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
    if (loop_) pa_threaded_mainloop_free(loop_);
  }
  ServerLatency(const ServerLatency&) = delete;
  ServerLatency& operator=(const ServerLatency&) = delete;

  bool Ready() const { return ready_; }

  // The first playback stream's figures; nothing when there is none.
  std::optional<Latency> Query() {
    if (!ready_) return std::nullopt;
    pa_threaded_mainloop_lock(loop_);
    found_.reset();
    pa_operation* op = pa_context_get_sink_input_info_list(context_, &ServerLatency::OnInput, this);
    while (op && pa_operation_get_state(op) == PA_OPERATION_RUNNING)
      pa_threaded_mainloop_wait(loop_);
    if (op) pa_operation_unref(op);
    const auto found = found_;
    pa_threaded_mainloop_unlock(loop_);
    return found;
  }

 private:
  static void OnState(pa_context*, void* self) {
    pa_threaded_mainloop_signal(static_cast<ServerLatency*>(self)->loop_, 0);
  }
  static void OnInput(pa_context*, const pa_sink_input_info* info, int last, void* self) {
    auto* me = static_cast<ServerLatency*>(self);
    if (!last && info && !me->found_) me->found_ = Latency{info->buffer_usec, info->sink_usec};
    pa_threaded_mainloop_signal(me->loop_, 0);
  }

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  bool ready_ = false;
  std::optional<Latency> found_;
};

}  // namespace serverlatency
