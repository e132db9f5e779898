#include "ini/document.h"

#include <algorithm>
#include <cstring>

#include "ini/escape.h"

namespace kestrine::ini {

Node* Document::NewNode(Node* parent, std::string_view name, const HeaderLine* read) {
  if (read == nullptr && !IsWritableName(name)) return nullptr;
  // Nodes added since use the ordinary heap for their content.
  Node& node = nodes_->emplace_back(
      this, parent, name, read, read != nullptr ? &read_memory_ : std::pmr::new_delete_resource());
  if (parent == nullptr) roots_.push_back(&node);
  return &node;
}

char* Document::StoreText(std::string_view text) {
  char* copy = static_cast<char*>(text_memory_.allocate(text.size() + 1, 1));
  if (!text.empty()) std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

Node* Document::AddRoot(std::string_view name) { return NewNode(nullptr, name, nullptr); }

bool Document::RemoveRoot(Node* root) {
  const auto found = std::find(roots_.begin(), roots_.end(), root);
  if (found == roots_.end()) return false;
  roots_.erase(found);  // the nodes stay in storage until the document goes
  return true;
}

void Document::Clear() {
  roots_.clear();
  nodes_.reset();  // before the memory they and their content live in
  node_memory_.release();
  read_memory_.release();
  nodes_.emplace(&node_memory_);
  preamble_.clear();
  text_.clear();
  text_memory_.release();
  bom_ = false;
  new_line_eol_ = Eol::kLf;
  first_line_ending_ = {};
}

}  // namespace kestrine::ini
