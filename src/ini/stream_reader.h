// Reads INI text in one forward pass, a piece at a time, without building a
// tree: for readers that only take values out of a file.
#ifndef KESTRINE_INI_STREAM_READER_H
#define KESTRINE_INI_STREAM_READER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ini/line_syntax.h"
#include "platform/error.h"

namespace kestrine::ini {

/// Where a StreamReader's bytes come from, in order.
class ByteSource {
 public:
  /// Reads up to `room` bytes into `into` and sets `*got` to how many; 0 at
  /// the end. On failure returns false and fills `error` (when not null).
  virtual bool Read(char* into, std::size_t room, std::size_t* got, Error* error) = 0;

 protected:
  ByteSource() = default;
  ByteSource(const ByteSource&) = default;
  ByteSource& operator=(const ByteSource&) = default;
  ~ByteSource() = default;
};

/// Hands out the nodes and attributes of INI text in file order, as the
/// whole-file parser (Parse) reads them: the same syntax, and the same
/// errors on the same lines. It holds one piece of the text at a time (a
/// line longer than a piece is held whole) and the names of the open path,
/// never the whole text or a tree; so a text is refused only when the
/// reader gets to the line at fault, after what comes before it was handed
/// out.
class StreamReader {
 public:
  /// Size of the pieces read from the source.
  static constexpr std::size_t kPieceSize = 64 * 1024;

  /// Reads from `source`, which must outlive the reader, `piece` bytes at a
  /// time (at least 1).
  explicit StreamReader(ByteSource* source, std::size_t piece = kPieceSize);

  enum class Event {
    kNode,       // a header: name(), depth(), line()
    kAttribute,  // a key=value line of the last node: key(), value(), line()
    kEnd,        // the text ends; every later call answers kEnd too
    kError,      // malformed or unreadable: error(); every later call answers kError too
  };

  /// Moves to the next node or attribute. Running out of memory throws
  /// std::bad_alloc, after which the reader must not be used.
  Event Next();

  // The views below stay valid until the next call of Next.

  /// Of a node: its name, and its depth in the tree (0 for a root).
  std::string_view name() const { return name_; }
  std::size_t depth() const { return depth_; }
  /// Of an attribute: its key and decoded value; the value is followed by a
  /// NUL byte in memory, so value().data() is a C string (cut short if the
  /// value itself holds a NUL).
  std::string_view key() const { return key_; }
  std::string_view value() const { return value_; }
  /// The 1-based line of the node's header or of the attribute.
  int line() const { return line_number_; }
  /// After kError: the line at fault (0 when the fault is not on a line)
  /// and why.
  const Error& error() const { return error_; }

 private:
  bool NextLine(std::size_t* begin, std::size_t* end);
  bool Refill();
  Event Fail(int line, const char* message);
  Event HandleHeader(std::size_t open, std::size_t close);
  Event HandleAttribute(const LineShape& shape, std::size_t end);

  ByteSource* source_;
  std::size_t piece_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;  // of buffer_, one byte of it kept for a NUL after the last value
  std::size_t begin_ = 0;     // the first byte not yet read as a line
  std::size_t scanned_ = 0;   // buffer_[begin_, scanned_) holds no CR or LF
  std::size_t filled_ = 0;    // bytes in buffer_
  std::uint64_t total_ = 0;   // bytes taken from the source
  bool source_done_ = false;
  bool started_ = false;
  Event state_ = Event::kNode;  // kEnd or kError once the reader is done
  int line_number_ = 0;
  bool in_node_ = false;  // a header has been read
  // The names of the open path, root first: open_[0, open_count_).
  std::vector<std::string> open_;
  std::size_t open_count_ = 0;
  std::string_view name_;
  std::size_t depth_ = 0;
  std::string_view key_;
  std::string_view value_;
  Error error_;
};

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_STREAM_READER_H
