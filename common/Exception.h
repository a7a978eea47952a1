#pragma once
// The program's error classes. Each carries the message shown to the user.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

#define KORVANTO_ERROR_CLASS(Name)                                    \
  class Name : public Exception {                                     \
   public:                                                            \
    explicit Name(const std::string& message) : Exception(message) {} \
  };

KORVANTO_ERROR_CLASS(EWaveStreamError)
KORVANTO_ERROR_CLASS(EWaveCollectionError)
KORVANTO_ERROR_CLASS(EDirectSoundError)
KORVANTO_ERROR_CLASS(EDirectSoundBufferError)
KORVANTO_ERROR_CLASS(EAudioStreamError)
KORVANTO_ERROR_CLASS(EDXSoundError)
KORVANTO_ERROR_CLASS(EStreamError)

#undef KORVANTO_ERROR_CLASS

// Text from a file as a message shows it: every byte that is neither
// printable ASCII nor part of a UTF-8 character other than a control
// character escaped ("\x0A", "\xE9"), so that a terminal shows each one.
std::string EscapedText(std::string_view text);
// The offending text escaped so, a long text cut after 40 characters
// ("...").
std::string QuotableText(const std::string& text);

// "'%s' is not a valid integer value"
class EConvertError : public Exception {
 public:
  explicit EConvertError(const std::string& text)
      : Exception("'" + QuotableText(text) + "' is not a valid integer value") {}
};

// An error at one line (counted from 1) of a text file. The reader that knows
// the file puts its name in front: "Rock.pat, line 3: 'sixteen' is not a
// valid integer value".
class ELineError : public Exception {
 public:
  ELineError(std::int64_t line, const std::string& detail, const std::string& file = "")
      : Exception((file.empty() ? "" : file + ", ") + "line " + std::to_string(line) + ": " +
                  detail),
        line_(line),
        detail_(detail) {}
  std::int64_t Line() const { return line_; }
  ELineError InFile(const std::string& file) const { return ELineError(line_, detail_, file); }

 private:
  std::int64_t line_;
  std::string detail_;
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

// "Stream read error"; "kick.wav: Stream read error" where the file is known.
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError("Stream read error") {}
  explicit EReadError(const std::string& file) : EStreamError(file + ": Stream read error") {}
};

// Any error about one file, its name in front: "demo.flac: Stream write
// error (No space left on device)".
class EFileError : public Exception {
 public:
  EFileError(const std::string& file, const std::string& message)
      : Exception(file + ": " + message) {}
};

// The silent end of an action the user cancelled: reports show nothing.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

// Fills a message pattern's single %s.
std::string FormatMessage(const std::string& pattern, const std::string& arg);
