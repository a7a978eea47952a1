#pragma once
// Arithmetic and write errors of the wave buffer, with the runtime's texts.
#include <cstring>
#include <string>

#include "common/Exception.h"

namespace wavaudio {

class EMathError : public Exception {
 public:
  explicit EMathError(const std::string& message) : Exception(message) {}
};

class EZeroDivide : public EMathError {
 public:
  EZeroDivide() : EMathError("Floating point division by zero") {}
};

class EInvalidOp : public EMathError {
 public:
  EInvalidOp() : EMathError("Invalid floating point operation") {}
};

class EWriteError : public Exception {
 public:
  EWriteError() : Exception("Stream write error") {}
  // With the system's reason: "Stream write error (No space left on device)".
  explicit EWriteError(int error)
      : Exception(std::string("Stream write error (") + std::strerror(error) + ")") {}
};

}  // namespace wavaudio
