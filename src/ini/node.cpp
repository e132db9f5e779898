#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

#include "ini/document.h"
#include "ini/escape.h"

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
  if (owner_->single_pass()) return false;
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

  attributes_.emplace_back(std::string_view(owner_->StoreText(key), key.size()),
                           std::string_view(owner_->StoreText(value), value.size()),
                           /*line=*/0, /*rewritten=*/true);

  Line line;
  line.attribute = static_cast<std::uint32_t>(attributes_.size() - 1);
  line.eol = Eol::kDocument;
  body_.insert(body_.begin() + static_cast<std::ptrdiff_t>(attribute_insert_), line);
  ++attribute_insert_;
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

void Node::ReleaseContent() {
  if (!owner_->single_pass()) return;
  std::pmr::vector<Line>(body_.get_allocator()).swap(body_);
  std::pmr::vector<Attribute>(attributes_.get_allocator()).swap(attributes_);
  attribute_insert_ = 0;
}

bool Node::RemoveAddedLastChild() {
  if (children_.empty() || !children_.back()->added_) return false;
  // The node itself stays in the document's storage, unreachable; it is
  // freed with the document.
  children_.pop_back();
  return true;
}

}  // namespace kestrine::ini
