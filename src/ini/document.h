// An INI file held as a tree that writes back exactly as read.
//
// The document owns the bytes it was read from. Lines, names, keys and values
// are views into them; only what is set or added since reading is stored
// apart. Nodes never move, so Node pointers stay valid for the document's
// life (or until it is read again).
#ifndef KESTRINE_INI_DOCUMENT_H
#define KESTRINE_INI_DOCUMENT_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
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

  /// Empties the document, as if newly constructed (a single-pass mark stays).
  void Clear();

  /// Marks the document as read in a single forward pass: a reader that is
  /// done with a node may release its content (Node::ReleaseContent), and the
  /// document can no longer be changed or written. Set before reading; kept
  /// by Clear.
  void SetSinglePass() { single_pass_ = true; }
  bool single_pass() const { return single_pass_; }

 private:
  friend class Node;
  friend class Parser;
  friend class Writer;

  Node* NewNode(Node* parent, std::string_view name);
  /// Where the lines and attributes of a node read from the text live.
  std::pmr::memory_resource* ReadMemory() {
    return single_pass_ ? std::pmr::new_delete_resource() : &read_memory_;
  }

  /// Keeps a copy of a text the bytes read do not hold (a set or decoded
  /// value, an added key), NUL-terminated, until the document is cleared or
  /// destroyed. A value set again is stored anew; the old copy stays until
  /// then, so a value may be set from a pointer into its current text.
  char* StoreText(std::string_view text);
  /// The text of a line as read.
  std::string_view LineText(const Line& line) const {
    return std::string_view(text_.data() + line.offset, line.size);
  }

  // The bytes read, written back for unchanged lines. Each value that ends
  // where its line ends is NUL-terminated in place, on the line ending's
  // first byte: lines are written back from their text and Eol, never from
  // those bytes, so no second copy of the file is needed.
  std::string text_;
  std::pmr::monotonic_buffer_resource text_memory_;  // texts not in text_
  // The lines and attributes of the nodes read, allocated one after the
  // other and freed all at once: hundreds of thousands of small blocks cost
  // more to allocate and free one by one than to read. Nodes added since,
  // and documents read in a single pass (whose nodes are released one by
  // one), use the ordinary heap. Declared before the nodes, which use it.
  std::pmr::monotonic_buffer_resource read_memory_;
  bool bom_ = false;
  Eol new_line_eol_ = Eol::kLf;
  std::vector<Line> preamble_;  // lines before the first header
  // Nodes are never freed one by one, so they too are allocated one after
  // the other and freed with the document.
  // (A deque keeps blocks through clear(), so Clear replaces the deque.)
  std::pmr::monotonic_buffer_resource node_memory_;
  std::optional<std::pmr::deque<Node>> nodes_{std::in_place, &node_memory_};
  std::vector<Node*> roots_;
  bool single_pass_ = false;
};

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_DOCUMENT_H
