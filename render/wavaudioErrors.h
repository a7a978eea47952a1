#pragma once
// Arithmetic and write errors of the wave buffer, with the runtime's texts.
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
};

}  // namespace wavaudio
