// A text encoding known by name, for the texts of a services file: strict
// conversion to and from UTF-8, never replacing what it cannot convert.
//
// This is the one place that talks to the system's converter (iconv here);
// the rest of the tool sees only this interface.
#ifndef KESTRINE_TOOLS_TEXT_ENCODING_H
#define KESTRINE_TOOLS_TEXT_ENCODING_H

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kestrine::tool {

/// A converter keeps state between calls: one thread at a time uses an
/// encoding and its copies, which share the converter.
class TextEncoding {
 public:
  /// The encoding the system's converter knows as `name` ("windows-1252",
  /// "cp932", "UTF-8", ...; letter case as the converter takes it). Null for
  /// a name it does not know, for a name holding '/' (converter suffixes such
  /// as //TRANSLIT would replace characters), and for an encoding in which
  /// ASCII is not itself (UTF-16 and the like cannot hold an INI file).
  static std::optional<TextEncoding> Find(const std::string& name);

  /// The name as given.
  const std::string& name() const { return name_; }
  bool IsUtf8() const { return utf8_; }

  /// `text`, bytes in this encoding, as UTF-8 in `*out`. False, `*out`
  /// unspecified, when `text` is not valid in this encoding.
  bool ToUtf8(std::string_view text, std::string* out) const;

  /// UTF-8 `text` in this encoding in `*out`. False, `*out` unspecified, when
  /// `text` is not valid UTF-8 or holds a character this encoding cannot hold.
  bool FromUtf8(std::string_view text, std::string* out) const;

 private:
  TextEncoding(std::string name, bool utf8) : name_(std::move(name)), utf8_(utf8) {}

  std::string name_;
  bool utf8_;
  std::shared_ptr<void> to_utf8_;  // the converter's handles; null for UTF-8
  std::shared_ptr<void> from_utf8_;
};

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_TEXT_ENCODING_H
