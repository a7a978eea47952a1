#pragma once
// Signals that end the program, turned into bytes on a pipe (the self-pipe
// trick): the handler does nothing but write the signal's number, and the
// event loop, watching the read end, ends the program as closing the main
// window does. One pipe at a time.
#include <csignal>
#include <initializer_list>
#include <vector>

class SignalPipe {
 public:
  // Catches the signals. One the program was started with ignored stays
  // ignored: "nohup korvanto" keeps running when its terminal goes, and a
  // background job is not ended by Ctrl+C meant for the shell.
  explicit SignalPipe(std::initializer_list<int> signals);
  // Puts the earlier handlers back and closes the pipe.
  ~SignalPipe();
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

  // The descriptor to watch; -1 when no pipe could be made.
  int ReadEnd() const { return read_; }
  // The next signal caught, 0 when none waits. Never blocks.
  int Take();
  // The signals caught (not those left ignored).
  const std::vector<int>& Caught() const { return caught_; }

 private:
  int read_ = -1;
  int write_ = -1;
  std::vector<int> caught_;
  std::vector<struct sigaction> previous_;
};
