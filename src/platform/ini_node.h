// A node of an INI tree: a "[path]" section with its attributes and children.
#ifndef KESTRINE_PLATFORM_INI_NODE_H
#define KESTRINE_PLATFORM_INI_NODE_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_line.h"

namespace kestrine::ini {

class Document;

/// One key=value line of a node. Key and value are the decoded bytes; both
/// are followed by a NUL byte in memory, so c_key() and c_value() are C
/// strings (cut short if the bytes themselves hold a NUL).
class Attribute {
 public:
  std::string_view key() const { return key_; }
  std::string_view value() const { return value_; }
  const char* c_key() const { return key_.data(); }
  const char* c_value() const { return value_.data(); }
  /// 1-based line number in the file read; 0 for an attribute added since.
  int line() const { return line_; }

 private:
  friend class Node;
  friend class Parser;
  friend class Writer;

  // Storage for a key or value that is not a view into the document's buffer.
  struct OwnedText {
    std::string key;
    std::string value;
  };

  std::string_view key_;
  std::string_view value_;
  std::unique_ptr<OwnedText> owned_;
  int line_ = 0;
  bool rewritten_ = false;  // written from key and value, not as read
};

class Node {
 public:
  Node(Document* owner, Node* parent) : owner_(owner), parent_(parent) {}
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  /// The name; a C string too (c_name()).
  std::string_view name() const { return name_; }
  const char* c_name() const { return name_.data(); }
  /// 1-based line number of the header in the file read; 0 for a node added since.
  int line() const { return line_; }
  Node* parent() const { return parent_; }
  const std::vector<Node*>& children() const { return children_; }
  const std::vector<Attribute>& attributes() const { return attributes_; }

  /// The first attribute with this key, or null.
  const Attribute* FindAttribute(std::string_view key) const;

  /// Sets the first attribute with this key, or adds one after the node's
  /// last attribute line. False (and nothing changed) when the key is new
  /// and cannot be written (see IsWritableKey).
  bool SetAttribute(std::string_view key, std::string_view value);

  /// Adds a child after the existing ones; null when the name cannot be
  /// written (see IsWritableName).
  Node* AddChild(std::string_view name);

  /// Takes back the last child when it was added since reading, so that a
  /// child that could not be filled completely is not written. False (and
  /// nothing changed) when there is no such child.
  bool RemoveAddedLastChild();

  /// Position of the C API's walk over the children.
  std::size_t& child_walk() { return child_walk_; }

 private:
  friend class Document;
  friend class Parser;
  friend class Writer;

  Attribute* FindMutable(std::string_view key);

  Document* owner_;
  Node* parent_;
  std::string_view name_;
  std::string owned_name_;   // the name of a node added since reading
  std::string_view header_;  // the header line as read; empty when added
  Eol header_eol_ = Eol::kDocument;
  int line_ = 0;
  bool added_ = false;
  // The lines after the header up to the next header, in file order.
  std::vector<Line> body_;
  // Where a new attribute line goes in body_: after the last attribute line.
  std::size_t attribute_insert_ = 0;
  std::vector<Attribute> attributes_;
  std::vector<Node*> children_;
  std::size_t child_walk_ = 0;
};

}  // namespace kestrine::ini

#endif  // KESTRINE_PLATFORM_INI_NODE_H
