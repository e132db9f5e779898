#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

#include "ini/document.h"
#include "ini/escape.h"
#include "ini/header_text.h"

namespace kestrine::ini {

Node::Node(Document* owner, Node* parent, std::string_view name, const HeaderLine* read,
           std::pmr::memory_resource* memory)
    : owner_(owner), parent_(parent), name_(name), body_(memory), attributes_(memory) {
  if (read != nullptr) {
    header_ = read->text;
    header_eol_ = read->eol;
    line_ = read->line;
  } else {
    added_ = true;
  }
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

const Attribute* Node::FindAttribute(std::string_view key) const {
  const auto found = std::find_if(attributes_.begin(), attributes_.end(),
                                  [key](const Attribute& a) { return a.key() == key; });
  return found == attributes_.end() ? nullptr : &*found;
}

Attribute* Node::FindMutable(std::string_view key) {
  return const_cast<Attribute*>(std::as_const(*this).FindAttribute(key));
}

bool Node::SetAttribute(std::string_view key, std::string_view value) {
  return SetAttribute(key, value, {});
}

bool Node::SetAttribute(std::string_view key, std::string_view value,
                        const std::vector<std::string_view>& order) {
  if (value.size() > UINT32_MAX) return false;
  if (Attribute* existing = FindMutable(key)) {
    // Same bytes: keep the line exactly as it was written.
    if (existing->value() == value) return true;
    *existing = Attribute(existing->key(), {owner_->StoreText(value), value.size()},
                          existing->line(), /*rewritten=*/true);
    return true;
  }
  if (!IsWritableKey(key) || attributes_.size() >= Line::kNoAttribute || key.size() > UINT32_MAX) {
    return false;
  }

  // Whatever may throw (running out of memory) comes before the first change.
  const std::string_view stored_key(owner_->StoreText(key), key.size());
  const std::string_view stored_value(owner_->StoreText(value), value.size());
  attributes_.reserve(attributes_.size() + 1);
  body_.reserve(body_.size() + 1);

  // The attributes keep the order of their lines: the new one goes after
  // those whose lines come before its own, which are renumbered.
  const std::size_t at = NewAttributeLine(key, order);
  std::size_t index = attributes_.size();
  if (at != attribute_insert_) {
    index = 0;
    for (std::size_t i = 0; i < at; ++i) {
      if (body_[i].attribute != Line::kNoAttribute) ++index;
    }
    for (Line& line : body_) {
      if (line.attribute != Line::kNoAttribute && line.attribute >= index) ++line.attribute;
    }
  }
  attributes_.emplace(attributes_.begin() + static_cast<std::ptrdiff_t>(index), stored_key,
                      stored_value, /*line=*/0, /*rewritten=*/true);

  Line line;
  line.attribute = static_cast<std::uint32_t>(index);
  line.eol = Eol::kDocument;
  body_.insert(body_.begin() + static_cast<std::ptrdiff_t>(at), line);
  ++attribute_insert_;  // the new line is at or before it
  return true;
}

std::size_t Node::NewAttributeLine(std::string_view key,
                                   const std::vector<std::string_view>& order) const {
  const auto rank = [&order](std::string_view wanted) {
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), wanted) - order.begin());
  };
  const std::size_t own = rank(key);
  if (own == order.size()) return attribute_insert_;
  std::size_t after = 0;              // 1 + the last line with a key earlier in the order
  std::size_t before = body_.size();  // the first line with a key later in the order
  for (std::size_t i = 0; i < attribute_insert_; ++i) {
    if (body_[i].attribute == Line::kNoAttribute) continue;
    const std::size_t other = rank(attributes_[body_[i].attribute].key());
    if (other < own) {
      after = i + 1;
    } else if (other < order.size() && before == body_.size()) {
      before = i;  // a different key: its rank is not `own`
    }
  }
  if (after != 0) return after;
  return before != body_.size() ? before : attribute_insert_;
}

bool Node::Rename(std::string_view name) {
  if (!IsWritableName(name)) return false;
  if (name == name_) return true;
  std::size_t depth = 0;
  for (const Node* at = parent_; at != nullptr; at = at->parent_) ++depth;
  // Each header read in the subtree spells this node's name at `depth` of
  // its path; headers of added nodes are written from the names anyway. The
  // new headers are all made before any is changed, so that running out of
  // memory changes nothing. Without recursion: nesting is as deep as the
  // file says.
  std::vector<std::pair<Node*, std::string_view>> respelled;
  std::vector<Node*> stack{this};
  while (!stack.empty()) {
    Node* node = stack.back();
    stack.pop_back();
    if (!node->added_) respelled.emplace_back(node, node->RespelledHeader(depth, name));
    stack.insert(stack.end(), node->children_.begin(), node->children_.end());
  }
  std::string new_name(name);
  for (const auto& [node, header] : respelled) node->header_ = header;
  name_.swap(new_name);
  return true;
}

std::string_view Node::RespelledHeader(std::size_t depth, std::string_view name) const {
  HeaderName found;
  // A header that was read always has its path's names.
  if (!FindHeaderName(header_, depth, &found)) return header_;
  std::string text(header_.substr(0, found.begin));
  text.append(name).append(header_.substr(found.end));
  return std::string_view(owner_->StoreText(text), text.size());
}

bool Node::RemoveChild(Node* child) {
  const auto found = std::find(children_.begin(), children_.end(), child);
  if (found == children_.end()) return false;

  // A node's lines run to the next header, so the comments that introduce
  // the child end the node before it in the file, and those that introduce
  // the node after the child end the child's subtree: the child takes its
  // own and hands the next node's back.
  const auto last_in_subtree = [](Node* node) {
    while (!node->children_.empty()) node = node->children_.back();
    return node;
  };
  // The first non-blank character of a line without an attribute; none
  // for a blank line.
  const auto first = [this](const Line& line) -> std::optional<char> {
    const std::string_view text = owner_->LineText(line);
    const std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos) return std::nullopt;
    return text[at];
  };
  const auto is_comment = [&](const Line& line) {
    if (line.attribute != Line::kNoAttribute) return false;
    const std::optional<char> c = first(line);
    return c == ';' || c == '#';
  };
  const auto is_blank = [&](const Line& line) {
    return line.attribute == Line::kNoAttribute && !first(line);
  };

  Node* before = found == children_.begin() ? this : last_in_subtree(*(found - 1));
  // A node added since reading has no comments of its own above it: those
  // at the end of the node before it belong to that node.
  while (!child->added_ && before->body_.size() > before->attribute_insert_ &&
         is_comment(before->body_.back())) {
    before->body_.pop_back();
  }
  // After the subtree's last attribute: lines that stick to it, blank lines,
  // then what introduces the next node (or ends the file). Without a blank
  // line to tell them apart, all of it is taken for the latter.
  const Node* last = last_in_subtree(child);
  const auto tail = last->body_.begin() + static_cast<std::ptrdiff_t>(last->attribute_insert_);
  auto kept = std::find_if(tail, last->body_.end(), is_blank);
  kept = kept == last->body_.end() ? tail : std::find_if_not(kept, last->body_.end(), is_blank);
  before->body_.insert(before->body_.end(), kept, last->body_.end());

  // The node and its subtree stay in the document's storage, unreachable;
  // they are freed with the document.
  children_.erase(found);
  return true;
}

Node* Node::AddChild(std::string_view name) { return owner_->NewNode(this, name, nullptr); }

void Node::SetReadBody(const std::vector<Line>& body, const std::vector<Attribute>& attributes) {
  body_.assign(body.begin(), body.end());
  attributes_.assign(attributes.begin(), attributes.end());
  attribute_insert_ = body_.size();
  while (attribute_insert_ > 0 && body_[attribute_insert_ - 1].attribute == Line::kNoAttribute) {
    --attribute_insert_;
  }
}

bool Node::RemoveAddedLastChild() {
  if (children_.empty() || !children_.back()->added_) return false;
  // The node itself stays in the document's storage, unreachable; it is
  // freed with the document.
  children_.pop_back();
  return true;
}

bool Node::RemoveAttribute(std::string_view key) {
  // From the last line back, so that the positions still to visit stay put.
  for (std::size_t at = body_.size(); at-- > 0;) {
    const std::uint32_t index = body_[at].attribute;
    if (index == Line::kNoAttribute || attributes_[index].key() != key) continue;
    body_.erase(body_.begin() + static_cast<std::ptrdiff_t>(at));
    if (at < attribute_insert_) --attribute_insert_;
    attributes_.erase(attributes_.begin() + static_cast<std::ptrdiff_t>(index));
    for (Line& line : body_) {
      if (line.attribute != Line::kNoAttribute && line.attribute > index) --line.attribute;
    }
  }
  return true;
}

}  // namespace kestrine::ini
