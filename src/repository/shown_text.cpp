#include "kestrine/shown_text.h"

#include <cstdio>

namespace kestrine {
std::size_t Utf8Length(std::string_view text) noexcept {
  if (text.empty()) return 0;
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

namespace {

void AppendEscaped(std::string& out, std::string_view bytes) {
  for (const char c : bytes) {
    char escaped[8] = {};
    std::snprintf(escaped, sizeof escaped, "\\x%02X",
                  static_cast<unsigned>(static_cast<unsigned char>(c)));
    out += escaped;
  }
}

}  // namespace

std::string ShownText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\\') {
      out += "\\\\";
      ++i;
    } else if (byte < 0x20 || byte == 0x7F) {
      AppendEscaped(out, text.substr(i, 1));
      ++i;
    } else if (byte < 0x80) {
      out += text[i++];
    } else if (const std::size_t length = Utf8Length(text.substr(i)); length > 0) {
      // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F.
      const bool control = byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
      if (control) {
        AppendEscaped(out, text.substr(i, length));
      } else {
        out.append(text.substr(i, length));
      }
      i += length;
    } else {
      // Not UTF-8: a byte 0x80 to 0x9F is a C1 control to a terminal that
      // reads bytes (0x9B starts a control sequence); others pass.
      if (byte <= 0x9F) {
        AppendEscaped(out, text.substr(i, 1));
      } else {
        out += text[i];
      }
      ++i;
    }
  }
  return out;
}

}  // namespace kestrine
