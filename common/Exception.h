#pragma once
// The program's error classes. Each carries the message shown to the user.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

#define KORVANTO_ERROR_CLASS(Name)                                        \
  class Name : public Exception {                                         \
   public:                                                                \
    explicit Name(const std::string& message) : Exception(message) {}    \
  };

KORVANTO_ERROR_CLASS(EWaveStreamError)
KORVANTO_ERROR_CLASS(EWaveCollectionError)
KORVANTO_ERROR_CLASS(EDirectSoundError)
KORVANTO_ERROR_CLASS(EDirectSoundBufferError)
KORVANTO_ERROR_CLASS(EAudioStreamError)
KORVANTO_ERROR_CLASS(EDXSoundError)
KORVANTO_ERROR_CLASS(EStreamError)

#undef KORVANTO_ERROR_CLASS

// "'%s' is not a valid integer value"
class EConvertError : public Exception {
 public:
  explicit EConvertError(const std::string& text)
      : Exception("'" + text + "' is not a valid integer value") {}
};

// "Cannot open file %s"
class EFOpenError : public EStreamError {
 public:
  explicit EFOpenError(const std::string& path) : EStreamError("Cannot open file " + path) {}
};

// "Cannot create file %s"
class EFCreateError : public EStreamError {
 public:
  explicit EFCreateError(const std::string& path) : EStreamError("Cannot create file " + path) {}
};

// "Stream read error"
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError("Stream read error") {}
};

// The silent end of an action the user cancelled: reports show nothing.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

// Fills a message pattern's single %s.
std::string FormatMessage(const std::string& pattern, const std::string& arg);
