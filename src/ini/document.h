// An INI file held as a tree that writes back exactly as read.
//
// The document owns the bytes it was read from. Lines, keys and values are
// views into them; each node keeps its own copy of its name, and only what is
// set or added since reading is stored apart. Nodes never move, so Node
// pointers stay valid for the document's life (or until it is read again).
#ifndef KESTRINE_INI_DOCUMENT_H
#define KESTRINE_INI_DOCUMENT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ini/line.h"
#include "ini/node.h"

namespace kestrine::ini {

class Document {
 public:
  Document() = default;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  const std::vector<Node*>& roots() const { return roots_; }

  /// Adds a root after the existing ones; null when the name cannot be
  /// written (see IsWritableName).
  Node* AddRoot(std::string_view name);

  /// Removes a root with its whole subtree, as Node::RemoveChild does a
  /// child; false (and nothing changed) when `root` is not a root of this
  /// document.
  bool RemoveRoot(Node* root);

  /// Makes every node, read or added: the new node is the last child of
  /// `parent`, or the last root when `parent` is null. `read` is the header
  /// line of a node read from the text (the parser), null for a node added
  /// since, which is refused (null) when its name cannot be written (see
  /// IsWritableName).
  Node* NewNode(Node* parent, std::string_view name, const HeaderLine* read);

  /// Keeps a copy of a text the bytes read do not hold (a set or decoded
  /// value, an added key), NUL-terminated, until the document is cleared or
  /// destroyed. A value set again is stored anew; the old copy stays until
  /// then, so a value may be set from a pointer into its current text.
  char* StoreText(std::string_view text);

  /// Empties the document, as if newly constructed.
  void Clear();

  // Building a document from text (the parser), after Clear().

  /// Takes over the bytes to read and returns them, writable: values that
  /// end where their line ends are NUL-terminated in place (see text_).
  char* AdoptText(std::string bytes) {
    text_ = std::move(bytes);
    return text_.data();
  }
  /// The text starts with a UTF-8 byte order mark.
  void set_bom(bool bom) { bom_ = bom; }
  /// The ending of lines added since: that of the first line read.
  void set_new_line_eol(Eol eol) { new_line_eol_ = eol; }
  /// Notes that line `line` ends in `eol`, for first_line_ending.
  void NoteLineEnding(Eol eol, int line) {
    int& first = first_line_ending_[static_cast<std::size_t>(eol)];
    if (first == 0) first = line;
  }
  /// Appends a line before the first header.
  void AddPreambleLine(const Line& line) { preamble_.push_back(line); }

  // Writing back (the writer).

  /// Size of the bytes read.
  std::size_t text_size() const { return text_.size(); }
  /// The text of a line as read.
  std::string_view LineText(const Line& line) const {
    return std::string_view(text_.data() + line.offset, line.size);
  }
  bool bom() const { return bom_; }
  Eol new_line_eol() const { return new_line_eol_; }
  /// The first line read that ends in `eol` (kNone: the last line, when it
  /// has no ending), or 0 when none does: tells which endings a file uses.
  int first_line_ending(Eol eol) const {
    return eol < Eol::kDocument ? first_line_ending_[static_cast<std::size_t>(eol)] : 0;
  }
  /// The lines before the first header.
  const std::vector<Line>& preamble() const { return preamble_; }

 private:
  // The bytes read, written back for unchanged lines. Each value that ends
  // where its line ends is NUL-terminated in place, on the line ending's
  // first byte: lines are written back from their text and Eol, never from
  // those bytes, so no second copy of the file is needed.
  std::string text_;
  std::pmr::monotonic_buffer_resource text_memory_;  // texts not in text_
  // The lines and attributes of the nodes read, allocated one after the
  // other and freed all at once: hundreds of thousands of small blocks cost
  // more to allocate and free one by one than to read. Nodes added since
  // use the ordinary heap. Declared before the nodes, which use it.
  std::pmr::monotonic_buffer_resource read_memory_;
  bool bom_ = false;
  Eol new_line_eol_ = Eol::kLf;
  std::array<int, static_cast<std::size_t>(Eol::kDocument)> first_line_ending_{};
  std::vector<Line> preamble_;  // lines before the first header
  // Nodes are never freed one by one, so they too are allocated one after
  // the other and freed with the document.
  // (A deque keeps blocks through clear(), so Clear replaces the deque.)
  std::pmr::monotonic_buffer_resource node_memory_;
  std::optional<std::pmr::deque<Node>> nodes_{std::in_place, &node_memory_};
  std::vector<Node*> roots_;
};

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_DOCUMENT_H
