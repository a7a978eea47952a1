#include "kit/DeviceLossWatch.h"

DeviceLossWatch::DeviceLossWatch(UiThread& ui, LosableDevice& device, Tell tell,
                                 std::function<Clock::time_point()> now)
    : ui_(ui), device_(device), tell_(std::move(tell)), now_(std::move(now)) {
  timer_ = ui_.StartTimer(kPoll, [this] { Check(); });
}

void DeviceLossWatch::Check() {
  const LosableDevice::News news = device_.Poll();
  if (news.removed && !lost_) {
    lost_ = true;
    lastTry_ = now_();
    // Told after this poll returns: a message box must not hold up the timer.
    ui_.Post([tell = tell_, message = LostMessage(device_.Name())] {
      if (tell) tell(message);
    });
    return;
  }
  if (lost_ && (news.added || now_() - lastTry_ >= kRetry)) TryReopen();
}

void DeviceLossWatch::TryReopen() {
  lastTry_ = now_();
  if (device_.Reopen()) lost_ = false;
}

std::string DeviceLossWatch::LostMessage(const std::string& device) {
  return "The sound device \"" + device +
         "\" went away. Playing goes on without sound and comes back on the default device "
         "as soon as there is one.";
}
