#include "text_encoding.h"

#include <iconv.h>
#include <kestrine/shown_text.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "display_text.h"

namespace kestrine::tool {
namespace {

bool IsUtf8Name(std::string name) {
  name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == '-' || c == '_'; }),
             name.end());
  std::transform(name.begin(), name.end(), name.begin(), [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  });
  return name == "utf8";
}

bool ValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
    } else if (const std::size_t length = Utf8Length(text.substr(i)); length > 0) {
      i += length;
    } else {
      return false;
    }
  }
  return true;
}

std::shared_ptr<void> Open(const std::string& to, const std::string& from) {
  const iconv_t handle = iconv_open(to.c_str(), from.c_str());
  if (handle == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return std::shared_ptr<void>(handle, [](void* open) { iconv_close(static_cast<iconv_t>(open)); });
}

// The whole of `text` through the converter, or false at the first sequence
// it cannot convert (no replacement, no skipping).
bool Convert(void* handle, std::string_view text, std::string* out) {
  const auto converter = static_cast<iconv_t>(handle);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // the initial state
  out->clear();
  char* in = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  char buffer[256];
  for (;;) {
    char* next = buffer;
    std::size_t out_left = sizeof buffer;
    // A null input, at the end, writes what returns to the initial state.
    const std::size_t done = in_left > 0 ? iconv(converter, &in, &in_left, &next, &out_left)
                                         : iconv(converter, nullptr, nullptr, &next, &out_left);
    out->append(buffer, static_cast<std::size_t>(next - buffer));
    if (done == static_cast<std::size_t>(-1)) {
      if (errno != E2BIG) return false;  // EILSEQ or an incomplete sequence at the end
      continue;
    }
    // A converter counts characters it replaced itself as irreversible.
    if (done != 0) return false;
    if (in_left == 0 && next == buffer) return true;
  }
}

}  // namespace

std::optional<TextEncoding> TextEncoding::Find(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
  if (IsUtf8Name(name)) return TextEncoding(name, true);
  TextEncoding encoding(name, false);
  encoding.to_utf8_ = Open("UTF-8", name);
  encoding.from_utf8_ = Open(name, "UTF-8");
  if (!encoding.to_utf8_ || !encoding.from_utf8_) return std::nullopt;
  constexpr std::string_view kAscii = "[Services]\r\nName=A-z 0~9{}\\";
  std::string back;
  if (!encoding.FromUtf8(kAscii, &back) || back != kAscii) return std::nullopt;
  return encoding;
}

bool TextEncoding::ToUtf8(std::string_view text, std::string* out) const {
  if (utf8_) {
    if (!ValidUtf8(text)) return false;
    out->assign(text);
    return true;
  }
  return Convert(to_utf8_.get(), text, out);
}

bool TextEncoding::FromUtf8(std::string_view text, std::string* out) const {
  if (!ValidUtf8(text)) return false;
  if (utf8_) {
    out->assign(text);
    return true;
  }
  return Convert(from_utf8_.get(), text, out);
}

}  // namespace kestrine::tool
