// The two ways the program's end reaches it besides its main window: a
// signal, turned into a byte on a pipe, and exit(), which runs the hook.
#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>
#include <stdexcept>

#include "common/ExitHook.h"
#include "common/SignalPipe.h"

namespace {

void (*HandlerOf(int signal))(int) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return current.sa_handler;
}

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1;
}

}  // namespace

TEST(SignalPipe, ACaughtSignalIsAByteOnThePipeAndTheOldHandlersComeBack) {
  std::signal(SIGUSR2, SIG_IGN);  // as nohup leaves SIGHUP
  {
    SignalPipe pipe({SIGUSR1, SIGUSR2});
    EXPECT_EQ(pipe.Caught(), std::vector<int>{SIGUSR1});
    ASSERT_GE(pipe.ReadEnd(), 0);
    EXPECT_EQ(pipe.Take(), 0);

    std::raise(SIGUSR1);
    std::raise(SIGUSR2);  // still ignored
    EXPECT_TRUE(Readable(pipe.ReadEnd()));
    EXPECT_EQ(pipe.Take(), SIGUSR1);
    EXPECT_EQ(pipe.Take(), 0);
    EXPECT_FALSE(Readable(pipe.ReadEnd()));
  }
  EXPECT_EQ(HandlerOf(SIGUSR1), SIG_DFL);
  EXPECT_EQ(HandlerOf(SIGUSR2), SIG_IGN);
  std::signal(SIGUSR2, SIG_DFL);
}

TEST(ExitHook, OnItsOwnThreadItRunsBothStopsOnceOthersOnlyTheThreadSafeOne) {
  int ui = 0, any = 0;
  {
    const ExitHook hook([&] { ++ui; }, [&] { ++any; });
    ExitHook::RunArmed();
    ExitHook::RunArmed();  // the program ends once
  }
  EXPECT_EQ(ui, 1);
  EXPECT_EQ(any, 1);

  {
    const ExitHook hook([&] { ++ui; }, [&] { ++any; });
    std::thread([] { ExitHook::RunArmed(); }).join();
  }
  EXPECT_EQ(ui, 1);
  EXPECT_EQ(any, 2);

  // After main's normal end the hook is gone; a stop that throws doesn't
  // keep the other from running.
  {
    const ExitHook hook([&] { ++ui; }, [&] { ++any; });
  }
  ExitHook::RunArmed();
  EXPECT_EQ(ui, 1);
  {
    const ExitHook hook([] { throw std::runtime_error("stuck"); }, [&] { ++any; });
    EXPECT_NO_THROW(ExitHook::RunArmed());
  }
  EXPECT_EQ(any, 3);
}
