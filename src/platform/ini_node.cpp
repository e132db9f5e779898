#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/ini_document.h"
#include "platform/ini_escape.h"

namespace kestrine::ini {

const Attribute* Node::FindAttribute(std::string_view key) const {
  const auto found = std::find_if(attributes_.begin(), attributes_.end(),
                                  [key](const Attribute& a) { return a.key_ == key; });
  return found == attributes_.end() ? nullptr : &*found;
}

Attribute* Node::FindMutable(std::string_view key) {
  return const_cast<Attribute*>(std::as_const(*this).FindAttribute(key));
}

bool Node::SetAttribute(std::string_view key, std::string_view value) {
  if (Attribute* existing = FindMutable(key)) {
    // Same bytes: keep the line exactly as it was written.
    if (existing->value_ == value) return true;
    if (!existing->owned_) existing->owned_ = std::make_unique<Attribute::OwnedText>();
    // Built apart first: `value` may point into the string being replaced.
    std::string fresh(value);
    existing->owned_->value.swap(fresh);
    existing->value_ = existing->owned_->value;
    existing->rewritten_ = true;
    return true;
  }
  if (!IsWritableKey(key) || attributes_.size() >= Line::kNoAttribute) return false;

  Attribute added;
  added.owned_ = std::make_unique<Attribute::OwnedText>();
  added.owned_->key.assign(key.data(), key.size());
  added.owned_->value.assign(value.data(), value.size());
  added.key_ = added.owned_->key;
  added.value_ = added.owned_->value;
  added.rewritten_ = true;
  attributes_.push_back(std::move(added));

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

bool Node::RemoveAddedLastChild() {
  if (children_.empty() || !children_.back()->added_) return false;
  // The node itself stays in the document's storage, unreachable; it is
  // freed with the document.
  children_.pop_back();
  if (child_walk_ > children_.size()) child_walk_ = children_.size();
  return true;
}

}  // namespace kestrine::ini
