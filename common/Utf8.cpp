#include "common/Utf8.h"

namespace {

bool IsControl(unsigned char byte) {
  return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F);
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence starting at text[at], 0 when there is none.
size_t SequenceLength(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const size_t length = lead >= 0xF5   ? 0
                        : lead >= 0xF0 ? 4
                        : lead >= 0xE0 ? 3
                        : lead >= 0xC2 ? 2
                                       : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i)
    if (!IsContinuation(static_cast<unsigned char>(text[at + i]))) return 0;
  return length;
}

}  // namespace

size_t Utf8SequenceAt(std::string_view text, size_t at) {
  const size_t length = SequenceLength(text, at);
  if (length < 3) return length;
  const auto lead = static_cast<unsigned char>(text[at]);
  const auto second = static_cast<unsigned char>(text[at + 1]);
  const bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
  const bool surrogate = lead == 0xED && second >= 0xA0;
  const bool beyond = lead == 0xF4 && second >= 0x90;
  return overlong || surrogate || beyond ? 0 : length;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | byte >> 6));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

std::string Utf8ToLatin1(std::string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80 ? 0 : SequenceLength(text, at);
    if (length == 0) {
      out.push_back(text[at++]);
    } else if (length == 2 && lead < 0xC4) {
      out.push_back(static_cast<char>((lead & 0x03) << 6 | (text[at + 1] & 0x3F)));
      at += 2;
    } else {
      out.push_back('?');
      at += length;
    }
  }
  return out;
}

std::string TerminalText(std::string_view latin1) {
  std::string shown(latin1);
  for (char& c : shown)
    if (IsControl(static_cast<unsigned char>(c))) c = '?';
  return Latin1ToUtf8(shown);
}
