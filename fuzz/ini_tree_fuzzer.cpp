// Feeds arbitrary bytes to the INI parser. For every input that parses:
//  - writing the tree back unchanged gives the input byte for byte;
//  - after edits drawn from the input (attributes set to arbitrary bytes,
//    roots and children added), the written text parses again into exactly
//    the edited tree, as tracked by an independent model;
//  - writing that tree back gives the same text again.
// For input that does not parse, the reported line must be a line of it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ini/document.h"
#include "ini/escape.h"
#include "ini/parser.h"
#include "ini/writer.h"

namespace {

using kestrine::ini::Document;
using kestrine::ini::Node;

struct ModelNode {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::vector<std::size_t> children;  // indices into Model::nodes
};

struct Model {
  std::vector<ModelNode> nodes;
  std::vector<std::size_t> roots;
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void AppendField(std::string_view field, std::string* out) {
  out->append(std::to_string(field.size()));
  out->push_back(':');
  out->append(field);
}

// A dump of the document that tells any two different trees apart.
std::string DumpDocument(const Document& document) {
  std::string out;
  std::vector<std::pair<const Node*, int>> stack;
  for (auto it = document.roots().rbegin(); it != document.roots().rend(); ++it) {
    stack.emplace_back(*it, 0);
  }
  while (!stack.empty()) {
    const auto [node, depth] = stack.back();
    stack.pop_back();
    out.append("N" + std::to_string(depth));
    AppendField(node->name(), &out);
    for (const auto& attribute : node->attributes()) {
      out.push_back('A');
      AppendField(attribute.key(), &out);
      AppendField(attribute.value(), &out);
    }
    for (auto it = node->children().rbegin(); it != node->children().rend(); ++it) {
      stack.emplace_back(*it, depth + 1);
    }
  }
  return out;
}

std::string DumpModel(const Model& model) {
  std::string out;
  std::vector<std::pair<std::size_t, int>> stack;
  for (auto it = model.roots.rbegin(); it != model.roots.rend(); ++it) stack.emplace_back(*it, 0);
  while (!stack.empty()) {
    const auto [index, depth] = stack.back();
    stack.pop_back();
    const ModelNode& node = model.nodes[index];
    out.append("N" + std::to_string(depth));
    AppendField(node.name, &out);
    for (const auto& [key, value] : node.attributes) {
      out.push_back('A');
      AppendField(key, &out);
      AppendField(value, &out);
    }
    for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) {
      stack.emplace_back(*it, depth + 1);
    }
  }
  return out;
}

// Copies the parsed tree into the model; `handles[i]` is the node of model
// node i.
void BuildModel(const Document& document, Model* model, std::vector<Node*>* handles) {
  std::vector<std::pair<Node*, std::size_t>> stack;  // node, model parent (npos: root)
  for (auto it = document.roots().rbegin(); it != document.roots().rend(); ++it) {
    stack.emplace_back(*it, std::string::npos);
  }
  while (!stack.empty()) {
    const auto [node, parent] = stack.back();
    stack.pop_back();
    const std::size_t index = model->nodes.size();
    ModelNode& entry = model->nodes.emplace_back();
    entry.name = node->name();
    for (const auto& attribute : node->attributes()) {
      entry.attributes.emplace_back(attribute.key(), attribute.value());
    }
    handles->push_back(node);
    if (parent == std::string::npos) {
      model->roots.push_back(index);
    } else {
      model->nodes[parent].children.push_back(index);
    }
    for (auto it = node->children().rbegin(); it != node->children().rend(); ++it) {
      stack.emplace_back(*it, index);
    }
  }
}

std::string ConsumeName(FuzzedDataProvider& data) {
  if (data.ConsumeBool()) return data.ConsumeRandomLengthString(12);
  return "n" + std::to_string(data.ConsumeIntegral<std::uint8_t>());
}

void SetAttribute(FuzzedDataProvider& data, Model* model, const std::vector<Node*>& handles) {
  const std::size_t target = data.ConsumeIntegralInRange<std::size_t>(0, handles.size() - 1);
  ModelNode& entry = model->nodes[target];
  std::string key;
  if (!entry.attributes.empty() && data.ConsumeBool()) {
    key = entry.attributes[data.ConsumeIntegralInRange<std::size_t>(0, entry.attributes.size() - 1)]
              .first;
  } else {
    key = data.ConsumeRandomLengthString(12);
  }
  const std::string value = data.ConsumeRandomLengthString(24);
  const bool done = handles[target]->SetAttribute(key, value);
  for (auto& attribute : entry.attributes) {
    if (attribute.first == key) {
      Check(done);  // an existing key can always be set
      attribute.second = value;
      return;
    }
  }
  Check(done == kestrine::ini::IsWritableKey(key));
  if (done) entry.attributes.emplace_back(key, value);
}

void AddNode(FuzzedDataProvider& data, Document* document, Model* model,
             std::vector<Node*>* handles) {
  const bool as_root = handles->empty() || data.ConsumeBool();
  const std::string name = ConsumeName(data);
  std::size_t parent = 0;
  Node* added = nullptr;
  if (as_root) {
    added = document->AddRoot(name);
  } else {
    parent = data.ConsumeIntegralInRange<std::size_t>(0, handles->size() - 1);
    added = (*handles)[parent]->AddChild(name);
  }
  Check((added != nullptr) == kestrine::ini::IsWritableName(name));
  if (added == nullptr) return;
  Check(added->name() == name);
  const std::size_t index = model->nodes.size();
  model->nodes.emplace_back().name = name;
  handles->push_back(added);
  if (as_root) {
    model->roots.push_back(index);
  } else {
    model->nodes[parent].children.push_back(index);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  Document document;
  kestrine::Error error;
  if (!kestrine::ini::Parse(input, &document, &error)) {
    Check(error.line >= 1 && !error.message.empty());
    std::size_t lines = 1;
    for (const char c : input) lines += c == '\n' ? 1 : 0;
    Check(static_cast<std::size_t>(error.line) <= lines);
    Check(document.roots().empty());
    return 0;
  }
  Check(kestrine::ini::Serialize(document) == input);

  Model model;
  std::vector<Node*> handles;
  BuildModel(document, &model, &handles);
  Check(DumpModel(model) == DumpDocument(document));

  FuzzedDataProvider data(bytes, size);
  const int edits = data.ConsumeIntegralInRange(0, 24);
  for (int i = 0; i < edits && data.remaining_bytes() > 0; ++i) {
    if (!handles.empty() && data.ConsumeIntegralInRange(0, 2) != 0) {
      SetAttribute(data, &model, handles);
    } else {
      AddNode(data, &document, &model, &handles);
    }
  }
  const std::string expected = DumpModel(model);
  Check(DumpDocument(document) == expected);

  const std::string written = kestrine::ini::Serialize(document);
  Document reread;
  Check(kestrine::ini::Parse(written, &reread, nullptr));
  Check(DumpDocument(reread) == expected);
  Check(kestrine::ini::Serialize(reread) == written);
  return 0;
}
