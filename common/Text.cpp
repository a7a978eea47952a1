#include "common/Text.h"

#include <cmath>
#include <limits>

#include "common/Exception.h"
#include "common/Utf8.h"

std::string FormatMessage(const std::string& pattern, const std::string& arg) {
  const auto at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + arg + pattern.substr(at + 2);
}

Lines SplitLines(std::string_view bytes) {
  Lines lines;
  std::string current;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(current));
      current.clear();
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

std::string JoinLinesCrlf(const Lines& lines) {
  std::string out;
  for (const auto& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

int ParseWholeNumber(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) throw EConvertError(std::string(text));
  long long value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') throw EConvertError(std::string(text));
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
      throw EConvertError(std::string(text));
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
    throw EConvertError(std::string(text));
  return static_cast<int>(value);
}

int ParseNumberLine(const Lines& lines, std::int64_t index) {
  static const std::string empty;
  const bool present = index >= 0 && index < static_cast<std::int64_t>(lines.size());
  try {
    return ParseWholeNumber(present ? lines[static_cast<size_t>(index)] : empty);
  } catch (const EConvertError& error) {
    throw ELineError(index + 1, error.Message());
  }
}

namespace {

// A sequence a terminal shows as a character: printable ASCII, or UTF-8
// that encodes no control character (U+0080..U+009F). Its length, else 0.
size_t ShownCharacterAt(std::string_view text, size_t at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80) return byte >= 0x20 && byte != 0x7F ? 1 : 0;
  const size_t length = Utf8SequenceAt(text, at);
  const bool control =
      byte == 0xC2 && length == 2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
  return control ? 0 : length;
}

// The text with every byte outside a shown character as "\xNN", cut after
// limit characters ("...").
std::string Escaped(std::string_view text, size_t limit) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  size_t characters = 0;
  size_t at = 0;
  for (; at < text.size() && characters < limit; ++characters) {
    const size_t length = ShownCharacterAt(text, at);
    if (length > 0) {
      out.append(text.substr(at, length));
      at += length;
      continue;
    }
    const auto byte = static_cast<unsigned char>(text[at++]);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
  if (at < text.size()) out += "...";
  return out;
}

}  // namespace

std::string EscapedText(std::string_view text) {
  return Escaped(text, std::string_view::npos);
}

std::string QuotableText(const std::string& text) {
  return Escaped(text, 40);
}

long long RoundTiesEven(double value) {
  return std::llrint(std::nearbyint(value));
}

std::string FileNamePart(std::string_view path) {
  const auto at = path.find_last_of("\\/:");
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string WithoutControlCharacters(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || (byte >= 0x7F && byte <= 0x9F)) continue;
    out.push_back(c);
  }
  return out;
}

static unsigned char LowerByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  // Latin-1 capitals À..Þ except the multiplication sign.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}

std::string LowerLatin1(std::string_view text) {
  std::string out(text);
  for (auto& c : out) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
  return out;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerByte(static_cast<unsigned char>(a[i])) != LowerByte(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string WithoutSurroundingBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}
