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
  Attribute() = default;
  /// Key and value must lie in memory the document keeps (its bytes read or
  /// its stored texts, Document::StoreText), the value followed by a NUL
  /// byte, each at most 4 GiB. `line` is the 1-based line read, 0 when
  /// added; `rewritten` says that the attribute is written from key and
  /// value rather than as read.
  Attribute(std::string_view key, std::string_view value, int line, bool rewritten)
      : key_(key.data()),
        value_(value.data()),
        key_size_(static_cast<std::uint32_t>(key.size())),
        value_size_(static_cast<std::uint32_t>(value.size())),
        line_(line),
        rewritten_(rewritten) {}

  std::string_view key() const { return {key_, key_size_}; }
  std::string_view value() const { return {value_, value_size_}; }
  const char* c_value() const { return value_; }
  /// 1-based line number in the file read; 0 for an attribute added since.
  int line() const { return line_; }
  /// Written with its value set since rather than as read.
  bool rewritten() const { return rewritten_; }

 private:
  const char* key_ = "";
  const char* value_ = "";
  std::uint32_t key_size_ = 0;
  std::uint32_t value_size_ = 0;
  int line_ = 0;
  bool rewritten_ = false;
};

// A large file holds hundreds of thousands of attributes.
static_assert(sizeof(Attribute) <= 32, "an attribute must stay within 32 bytes");

/// The header line a node was read from.
struct HeaderLine {
  std::string_view text;  // as read, without its line ending
  Eol eol = Eol::kNone;
  int line = 0;  // 1-based
};

class Node {
 public:
  /// Made by Document::NewNode only, which keeps the node; it becomes the
  /// last child of `parent` (when not null). `read` is the header the node
  /// was read from, null for a node added since. `memory` holds the node's
  /// lines and attributes (see Document).
  Node(Document* owner, Node* parent, std::string_view name, const HeaderLine* read,
       std::pmr::memory_resource* memory);
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  Document* document() const { return owner_; }
  /// The name; a C string too (c_name()).
  std::string_view name() const { return name_; }
  const char* c_name() const { return name_.c_str(); }
  /// 1-based line number of the header in the file read; 0 for a node added since.
  int line() const { return line_; }
  Node* parent() const { return parent_; }
  const std::vector<Node*>& children() const { return children_; }
  /// The attributes, in the order of their lines.
  const std::pmr::vector<Attribute>& attributes() const { return attributes_; }

  /// The first attribute with this key, or null.
  const Attribute* FindAttribute(std::string_view key) const;

  /// Sets the first attribute with this key, or adds one after the node's
  /// last attribute line. False (and nothing changed) when the key is new
  /// and cannot be written (see IsWritableKey). A line read from the text
  /// keeps everything up to and including the "=" and the blanks after it,
  /// and its line ending; only the value's text is replaced.
  bool SetAttribute(std::string_view key, std::string_view value);

  /// As SetAttribute, but a new key's line goes where `order` (keys in the
  /// order they are written) puts it: right after the last attribute line
  /// whose key comes earlier in `order`, or else right before the first one
  /// whose key comes later; when there is neither, or the key is not in
  /// `order`, after the last attribute line. Keys not in `order` are passed
  /// over. The attributes stay in the order of their lines.
  bool SetAttribute(std::string_view key, std::string_view value,
                    const std::vector<std::string_view>& order);

  /// Gives the node another name. A node read from the text gets only the
  /// name in its header rewritten (indentation, blanks, other names and a
  /// comment after "]" stay), and so does each header read below it, which
  /// spells that name in its path. False (and nothing changed) when the name
  /// cannot be written (see IsWritableName). Siblings are not checked: the
  /// name may be one another node holds, so that nodes can be renumbered one
  /// after the other.
  bool Rename(std::string_view name);

  /// Removes every line of an attribute with this key, with its attribute;
  /// every other line stays as it is. True, also when there is none.
  bool RemoveAttribute(std::string_view key);

  /// Adds a child after the existing ones; null when the name cannot be
  /// written (see IsWritableName).
  Node* AddChild(std::string_view name);

  /// Removes a child with its whole subtree: none of their lines is written
  /// any more, nor the comment lines right above the child's header, which
  /// introduce it. Of the lines after the subtree's last attribute line,
  /// those up to the first blank lines and these stick to the child and go
  /// with it; the rest introduce what follows and stay (all stay when there
  /// is no blank line among them). The blank lines above the child's
  /// introduction stay, keeping its neighbours apart as before.
  /// False (and nothing changed) when `child` is not a child of this node.
  /// The removed nodes stay in memory, readable, until the document is
  /// cleared or destroyed; edits to them are not written.
  bool RemoveChild(Node* child);

  /// Takes back the last child when it was added since reading, so that a
  /// child that could not be filled completely is not written. False (and
  /// nothing changed) when there is no such child.
  bool RemoveAddedLastChild();

  // Building a node read from text (the parser).

  /// Gives the node its body as read: the lines after its header up to the
  /// next header, in file order, and the attributes they hold
  /// (Line::attribute indexes `attributes`).
  void SetReadBody(const std::vector<Line>& body, const std::vector<Attribute>& attributes);

  // Writing back (the writer).

  /// The header line as read, with the names of its path as they are now;
  /// empty for a node added since.
  std::string_view header() const { return header_; }
  Eol header_eol() const { return header_eol_; }
  /// Added since reading: its header is written from the names of its path.
  bool added() const { return added_; }
  /// The lines after the header up to the next header, in file order.
  const std::pmr::vector<Line>& body() const { return body_; }

 private:
  Attribute* FindMutable(std::string_view key);
  std::size_t NewAttributeLine(std::string_view key,
                               const std::vector<std::string_view>& order) const;
  std::string_view RespelledHeader(std::size_t depth, std::string_view name) const;

  Document* owner_;
  Node* parent_;
  std::string name_;         // NUL-terminated (short names need no heap)
  std::string_view header_;  // the header line as read (names renamed since); empty when added
  Eol header_eol_ = Eol::kDocument;
  int line_ = 0;
  bool added_ = false;
  std::pmr::vector<Line> body_;
  // Where a new attribute line goes in body_: after the last attribute line.
  std::size_t attribute_insert_ = 0;
  std::pmr::vector<Attribute> attributes_;
  std::vector<Node*> children_;
};

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_NODE_H
