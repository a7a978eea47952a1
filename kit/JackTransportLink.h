#pragma once
// Keeps the song player in step with JACK's transport: a DAW's play starts
// the song on the step of its position, sample-locked to the transport; a
// relocation moves it and a stop stops it. UI thread; polls every few ms
// while the kit's device plays through JACK and following is on.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "common/UiThread.h"
#include "song/TransportFollower.h"

class PlaybackEngine;
class TDXSound;

class JackTransportLink {
 public:
  static constexpr std::chrono::milliseconds kPoll{2};

  // engine and sound must outlive the link; told hears of a start that failed.
  JackTransportLink(UiThread& ui, PlaybackEngine& engine, TDXSound& sound,
                    std::function<void(const std::string&)> told = {});

  // One look at the transport; the timer runs it every kPoll.
  void Poll();
  const TransportFollower& Follower() const { return follower_; }

 private:
  PlaybackEngine& engine_;
  TDXSound& sound_;
  std::function<void(const std::string&)> told_;
  TransportFollower follower_;
  bool songPlaying_ = false;
  std::unique_ptr<UiTimer> timer_;
};
