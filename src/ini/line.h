// One line of an INI file as the tree keeps it for writing back.
#ifndef KESTRINE_INI_LINE_H
#define KESTRINE_INI_LINE_H

#include <cstdint>
#include <limits>

namespace kestrine::ini {

/// How a line ends (see line_end.h). kDocument stands for the ending the
/// document uses for lines it adds (that of its first line).
enum class Eol : std::uint8_t { kNone, kLf, kCrLf, kCr, kCrCrLf, kDocument };

/// A line as read: where its text lies in the document's bytes (without the
/// line ending) and how it ends. Offsets keep the line to 16 bytes; a
/// document is therefore limited to 4 GiB.
struct Line {
  static constexpr std::uint32_t kNoAttribute = std::numeric_limits<std::uint32_t>::max();

  /// Offset and size of the text in the document's bytes; unused for an
  /// attribute line added since, which is written from its key and value.
  /// An attribute set since keeps its text up to the value.
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  /// Index of the attribute this line holds in its node, or kNoAttribute.
  std::uint32_t attribute = kNoAttribute;
  Eol eol = Eol::kNone;
};

// A large file holds millions of lines.
static_assert(sizeof(Line) <= 16, "a line must stay within 16 bytes");

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_LINE_H
