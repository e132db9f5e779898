#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

#include "ini/document.h"
#include "ini/escape.h"

namespace kestrine::ini {

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
    existing->value_ = owner_->StoreText(value);
    existing->value_size_ = static_cast<std::uint32_t>(value.size());
    existing->rewritten_ = true;
    return true;
  }
  if (!IsWritableKey(key) || attributes_.size() >= Line::kNoAttribute || key.size() > UINT32_MAX) {
    return false;
  }

  Attribute added;
  added.key_ = owner_->StoreText(key);
  added.key_size_ = static_cast<std::uint32_t>(key.size());
  added.value_ = owner_->StoreText(value);
  added.value_size_ = static_cast<std::uint32_t>(value.size());
  added.rewritten_ = true;
  attributes_.push_back(added);

  Line line;
  line.attribute = static_cast<std::uint32_t>(attributes_.size() - 1);
  line.eol = Eol::kDocument;
  body_.insert(body_.begin() + static_cast<std::ptrdiff_t>(attribute_insert_), line);
  ++attribute_insert_;
  return true;
}

Node* Node::AddChild(std::string_view name) {
  Node* child = owner_->NewNode(this, name);
  if (child != nullptr) children_.push_back(child);
  return child;
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
