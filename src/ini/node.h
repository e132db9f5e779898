// A node of an INI tree: a "[path]" section with its attributes and children.
#ifndef KESTRINE_INI_NODE_H
#define KESTRINE_INI_NODE_H

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

#include "ini/line.h"

namespace kestrine::ini {

class Document;

/// One key=value line of a node. Key and value are the decoded bytes. The
/// value is followed by a NUL byte in memory, so c_value() is a C string (cut
/// short if the bytes themselves hold a NUL).
class Attribute {
 public:
  std::string_view key() const { return {key_, key_size_}; }
  std::string_view value() const { return {value_, value_size_}; }
  const char* c_value() const { return value_; }
  /// 1-based line number in the file read; 0 for an attribute added since.
  int line() const { return line_; }

 private:
  friend class Node;
  friend class Parser;
  friend class Writer;

  /// Written from key and value rather than as read: the value was set.
  bool rewritten() const { return rewritten_; }

  // Key and value point into the document's bytes as read, or into the
  // document's stored texts (Document::StoreText). Kept to 32 bytes: a large
  // file holds hundreds of thousands of attributes.
  const char* key_ = "";
  const char* value_ = "";
  std::uint32_t key_size_ = 0;
  std::uint32_t value_size_ = 0;
  int line_ = 0;
  bool rewritten_ = false;
};

class Node {
 public:
  /// `memory` holds the node's lines and attributes (see Document).
  Node(Document* owner, Node* parent, std::pmr::memory_resource* memory)
      : owner_(owner), parent_(parent), body_(memory), attributes_(memory) {}
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  Document* document() const { return owner_; }
  /// The name; a C string too (c_name()).
  std::string_view name() const { return name_; }
  const char* c_name() const { return name_.data(); }
  /// 1-based line number of the header in the file read; 0 for a node added since.
  int line() const { return line_; }
  Node* parent() const { return parent_; }
  const std::vector<Node*>& children() const { return children_; }
  const std::pmr::vector<Attribute>& attributes() const { return attributes_; }

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

  /// Frees the node's lines and attributes in a document read in a single
  /// pass (Document::SetSinglePass), once its reader is done with them; the
  /// node then has no attributes. Does nothing in any other document.
  void ReleaseContent();

 private:
  friend class Document;
  friend class Parser;
  friend class Writer;

  Attribute* FindMutable(std::string_view key);

  Document* owner_;
  Node* parent_;
  std::string_view name_;
  std::string owned_name_;   // the name, NUL-terminated (short names need no heap)
  std::string_view header_;  // the header line as read; empty when added
  Eol header_eol_ = Eol::kDocument;
  int line_ = 0;
  bool added_ = false;
  // The lines after the header up to the next header, in file order.
  std::pmr::vector<Line> body_;
  // Where a new attribute line goes in body_: after the last attribute line.
  std::size_t attribute_insert_ = 0;
  std::pmr::vector<Attribute> attributes_;
  std::vector<Node*> children_;
};

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_NODE_H
