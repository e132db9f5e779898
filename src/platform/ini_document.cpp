#include "platform/ini_document.h"

#include "platform/ini_escape.h"

namespace kestrine::ini {

Node* Document::NewNode(Node* parent, std::string_view name) {
  if (!IsWritableName(name)) return nullptr;
  Node& node = nodes_.emplace_back(this, parent);
  node.owned_name_.assign(name.data(), name.size());
  node.name_ = node.owned_name_;
  node.added_ = true;
  return &node;
}

Node* Document::AddRoot(std::string_view name) {
  Node* root = NewNode(nullptr, name);
  if (root != nullptr) roots_.push_back(root);
  return root;
}

void Document::Clear() {
  roots_.clear();
  nodes_.clear();
  preamble_.clear();
  text_.clear();
  work_.clear();
  bom_ = false;
  new_line_eol_ = Eol::kLf;
  root_walk_ = 0;
}

}  // namespace kestrine::ini
