// An INI file held as a tree that writes back exactly as read.
//
// The document owns the bytes it was read from. Lines, names, keys and values
// are views into them; only what is set or added since reading is stored
// apart. Nodes never move, so Node pointers stay valid for the document's
// life (or until it is read again).
#ifndef KESTRINE_PLATFORM_INI_DOCUMENT_H
#define KESTRINE_PLATFORM_INI_DOCUMENT_H

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_line.h"
#include "platform/ini_node.h"

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

  /// Position of the C API's walk over the roots.
  std::size_t& root_walk() { return root_walk_; }

  /// Empties the document, as if newly constructed.
  void Clear();

 private:
  friend class Node;
  friend class Parser;
  friend class Writer;

  Node* NewNode(Node* parent, std::string_view name);

  std::string text_;  // the bytes read, written back for unchanged lines
  std::string work_;  // copy of text_ holding NUL-terminated names, keys, values
  bool bom_ = false;
  Eol new_line_eol_ = Eol::kLf;
  std::vector<Line> preamble_;  // lines before the first header
  std::deque<Node> nodes_;
  std::vector<Node*> roots_;
  std::size_t root_walk_ = 0;
};

}  // namespace kestrine::ini

#endif  // KESTRINE_PLATFORM_INI_DOCUMENT_H
