#pragma once
// The message an action raises, for tests that check the program's texts.
#include <functional>
#include <string>

#include "common/Exception.h"

inline std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.Message();
  }
  return "no error";
}
