#include "ini/escape.h"

namespace kestrine::ini {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsQuotedForm(std::string_view text) {
  return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

}  // namespace

bool NeedsQuoting(std::string_view value) {
  if (value.empty()) return false;
  if (IsBlank(value.front()) || IsBlank(value.back())) return true;
  if (IsQuotedForm(value)) return true;
  for (const char c : value) {
    if (IsControl(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

void AppendValueText(std::string_view value, std::string* out) {
  if (!NeedsQuoting(value)) {
    out->append(value);
    return;
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  out->push_back('"');
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        out->append("\\\\");
        break;
      case '"':
        out->append("\\\"");
        break;
      case '\r':
        out->append("\\r");
        break;
      case '\n':
        out->append("\\n");
        break;
      case '\t':
        out->append("\\t");
        break;
      default:
        if (IsControl(byte)) {
          out->append("\\x");
          out->push_back(kHex[byte >> 4]);
          out->push_back(kHex[byte & 0x0F]);
        } else {
          out->push_back(c);
        }
    }
  }
  out->push_back('"');
}

std::size_t DecodeQuotedInPlace(char* text, std::size_t size) {
  std::size_t read = 0;
  std::size_t write = 0;
  while (read < size) {
    const char c = text[read];
    if (c != '\\' || read + 1 == size) {
      text[write++] = c;
      ++read;
      continue;
    }
    const char next = text[read + 1];
    char decoded = 0;
    std::size_t consumed = 2;
    switch (next) {
      case '\\':
        decoded = '\\';
        break;
      case '"':
        decoded = '"';
        break;
      case 'r':
        decoded = '\r';
        break;
      case 'n':
        decoded = '\n';
        break;
      case 't':
        decoded = '\t';
        break;
      case 'x': {
        const int high = read + 2 < size ? HexDigit(text[read + 2]) : -1;
        const int low = read + 3 < size ? HexDigit(text[read + 3]) : -1;
        if (high < 0 || low < 0) {
          consumed = 0;
        } else {
          decoded = static_cast<char>(static_cast<unsigned char>(high * 16 + low));
          consumed = 4;
        }
        break;
      }
      default:
        consumed = 0;
    }
    if (consumed == 0) {
      // Not an escape: the backslash is data. The character after it is
      // handled on the next turn (it cannot start an escape itself, since a
      // backslash after a backslash would have been the \\ escape).
      text[write++] = c;
      ++read;
      continue;
    }
    text[write++] = decoded;
    read += consumed;
  }
  return write;
}

bool IsWritableKey(std::string_view key) {
  if (key.empty()) return false;
  if (IsBlank(key.front()) || IsBlank(key.back())) return false;
  const char first = key.front();
  if (first == '[' || first == ';' || first == '#') return false;
  // A key may hold other control bytes: they are data in a key=value line.
  // Only "=" (ends the key) and line breaks would change how the line reads.
  for (const char c : key) {
    if (c == '=' || c == '\r' || c == '\n') return false;
  }
  return true;
}

bool IsWritableName(std::string_view name) {
  if (name.empty()) return false;
  if (IsBlank(name.front()) || IsBlank(name.back())) return false;
  for (const char c : name) {
    if (c == '\\' || c == '[' || c == ']' || IsControl(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  return true;
}

}  // namespace kestrine::ini
