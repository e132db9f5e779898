// Feeds arbitrary bytes to the INI parser. For every input that parses:
//  - writing the tree back unchanged gives the input byte for byte;
//  - after edits drawn from the input (attributes set to arbitrary bytes,
//    new keys placed by a key order, roots and children added, nodes
//    renamed and removed), the written text parses again into exactly the
//    edited tree, as tracked by an independent model;
//  - every line of the input that no edit touched (not in a removed
//    subtree or just above its header, not a header whose path was renamed,
//    not an attribute whose value changed) is written unchanged and in its
//    order;
//  - writing that tree back gives the same text again.
// For input that does not parse, the reported line must be a line of it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
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

constexpr std::size_t kNone = std::string::npos;

struct ModelAttribute {
  std::string key;
  std::string value;
  int line = 0;  // in the input; 0 when added
};

struct ModelNode {
  std::string name;
  std::vector<ModelAttribute> attributes;  // in the order of their lines
  std::vector<std::size_t> children;       // indices into Model::nodes
  std::size_t parent = kNone;
  int line = 0;  // of the header in the input; 0 when added
  bool removed = false;
};

struct Model {
  std::vector<ModelNode> nodes;
  std::vector<std::size_t> roots;
  // Lines of the input an edit changed or took away, by line number.
  std::vector<bool> touched;
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
    for (const ModelAttribute& attribute : node.attributes) {
      out.push_back('A');
      AppendField(attribute.key, &out);
      AppendField(attribute.value, &out);
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
    entry.parent = parent;
    entry.line = node->line();
    for (const auto& attribute : node->attributes()) {
      entry.attributes.push_back(
          {std::string(attribute.key()), std::string(attribute.value()), attribute.line()});
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

// Marks a line of the input as changed or taken away by an edit.
void Touch(Model* model, int line) { model->touched[static_cast<std::size_t>(line)] = true; }

// A node to edit that is still in the tree; kNone when the one drawn was
// removed.
std::size_t ConsumeLiveNode(FuzzedDataProvider& data, const Model& model) {
  const std::size_t index = data.ConsumeIntegralInRange<std::size_t>(0, model.nodes.size() - 1);
  return model.nodes[index].removed ? kNone : index;
}

// The position where a new key goes in `attributes` by `order`: right after
// the last attribute whose key comes earlier, or else right before the first
// whose key comes later, or else at the end.
std::size_t OrderedPosition(const std::vector<ModelAttribute>& attributes, const std::string& key,
                            const std::vector<std::string_view>& order) {
  const auto rank = [&order](std::string_view wanted) {
    std::size_t at = 0;
    while (at < order.size() && order[at] != wanted) ++at;
    return at;
  };
  const std::size_t own = rank(key);
  if (own == order.size()) return attributes.size();
  std::size_t after = kNone;
  std::size_t before = kNone;
  for (std::size_t i = 0; i < attributes.size(); ++i) {
    const std::size_t other = rank(attributes[i].key);
    if (other < own) {
      after = i;
    } else if (other < order.size() && before == kNone) {
      before = i;
    }
  }
  if (after != kNone) return after + 1;
  return before != kNone ? before : attributes.size();
}

void SetAttribute(FuzzedDataProvider& data, Model* model, const std::vector<Node*>& handles,
                  bool ordered) {
  const std::size_t target = ConsumeLiveNode(data, *model);
  if (target == kNone) return;
  ModelNode& entry = model->nodes[target];
  const auto existing_key = [&]() {
    return entry
        .attributes[data.ConsumeIntegralInRange<std::size_t>(0, entry.attributes.size() - 1)]
        .key;
  };
  std::string key;
  if (!entry.attributes.empty() && data.ConsumeBool()) {
    key = existing_key();
  } else {
    key = data.ConsumeRandomLengthString(12);
  }
  // An order of keys the node has and others, the new key among them or not.
  std::vector<std::string> order_keys;
  const int order_size = ordered ? data.ConsumeIntegralInRange(0, 6) : 0;
  for (int i = 0; i < order_size; ++i) {
    const int pick = data.ConsumeIntegralInRange(0, 2);
    if (pick == 0 && !entry.attributes.empty()) {
      order_keys.push_back(existing_key());
    } else if (pick == 1) {
      order_keys.push_back(key);
    } else {
      order_keys.push_back(data.ConsumeRandomLengthString(4));
    }
  }
  const std::vector<std::string_view> order(order_keys.begin(), order_keys.end());
  const std::string value = data.ConsumeRandomLengthString(24);

  const bool done = ordered ? handles[target]->SetAttribute(key, value, order)
                            : handles[target]->SetAttribute(key, value);
  for (ModelAttribute& attribute : entry.attributes) {
    if (attribute.key == key) {
      Check(done);  // an existing key can always be set
      if (attribute.value != value && attribute.line != 0) Touch(model, attribute.line);
      attribute.value = value;
      return;
    }
  }
  Check(done == kestrine::ini::IsWritableKey(key));
  if (!done) return;
  const std::size_t at = OrderedPosition(entry.attributes, key, order);
  entry.attributes.insert(entry.attributes.begin() + static_cast<std::ptrdiff_t>(at),
                          {key, value, 0});
}

void AddNode(FuzzedDataProvider& data, Document* document, Model* model,
             std::vector<Node*>* handles) {
  const bool as_root = handles->empty() || data.ConsumeBool();
  const std::string name = ConsumeName(data);
  std::size_t parent = kNone;
  Node* added = nullptr;
  if (as_root) {
    added = document->AddRoot(name);
  } else {
    parent = ConsumeLiveNode(data, *model);
    if (parent == kNone) return;
    added = (*handles)[parent]->AddChild(name);
  }
  Check((added != nullptr) == kestrine::ini::IsWritableName(name));
  if (added == nullptr) return;
  Check(added->name() == name);
  const std::size_t index = model->nodes.size();
  ModelNode& entry = model->nodes.emplace_back();
  entry.name = name;
  entry.parent = parent;
  handles->push_back(added);
  if (as_root) {
    model->roots.push_back(index);
  } else {
    model->nodes[parent].children.push_back(index);
  }
}

// The node and the nodes below it.
std::vector<std::size_t> Subtree(const Model& model, std::size_t top) {
  std::vector<std::size_t> nodes{top};
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const auto& children = model.nodes[nodes[i]].children;
    nodes.insert(nodes.end(), children.begin(), children.end());
  }
  return nodes;
}

void RemoveNode(FuzzedDataProvider& data, Document* document, Model* model,
                const std::vector<Node*>& handles) {
  const std::size_t target = ConsumeLiveNode(data, *model);
  if (target == kNone) return;
  const std::size_t parent = model->nodes[target].parent;
  std::vector<std::size_t>& siblings =
      parent == kNone ? model->roots : model->nodes[parent].children;
  const auto remove = [&]() {
    return parent == kNone ? document->RemoveRoot(handles[target])
                           : handles[parent]->RemoveChild(handles[target]);
  };
  Check(remove());
  Check(!remove());  // not there any more
  siblings.erase(std::find(siblings.begin(), siblings.end(), target));
  for (const std::size_t index : Subtree(*model, target)) model->nodes[index].removed = true;
  // A node read from the input takes the comments just above its header,
  // which end the body of the node before it in the file: the lines between
  // the two headers count as touched.
  const int line = model->nodes[target].line;
  if (line == 0) return;
  int previous = 0;
  for (const ModelNode& node : model->nodes) {
    if (node.line > previous && node.line < line) previous = node.line;
  }
  for (int between = previous + 1; between < line; ++between) Touch(model, between);
}

void RenameNode(FuzzedDataProvider& data, Model* model, const std::vector<Node*>& handles) {
  const std::size_t target = ConsumeLiveNode(data, *model);
  if (target == kNone) return;
  // Often a name a sibling holds: renumbering passes through such names.
  const std::size_t parent = model->nodes[target].parent;
  const std::vector<std::size_t>& siblings =
      parent == kNone ? model->roots : model->nodes[parent].children;
  std::string name;
  if (data.ConsumeBool()) {
    name = model->nodes[siblings[data.ConsumeIntegralInRange<std::size_t>(0, siblings.size() - 1)]]
               .name;
  } else {
    name = ConsumeName(data);
  }
  const bool done = handles[target]->Rename(name);
  Check(done == kestrine::ini::IsWritableName(name));
  if (!done) {
    Check(handles[target]->name() == model->nodes[target].name);
    return;
  }
  Check(handles[target]->name() == name);
  if (model->nodes[target].name == name) return;
  model->nodes[target].name = name;
  for (const std::size_t index : Subtree(*model, target)) {
    if (model->nodes[index].line != 0) Touch(model, model->nodes[index].line);
  }
}

struct TextLine {
  std::string_view text;
  std::string_view eol;
};

// The lines of a text after its byte order mark, as the parser splits them:
// each ends at the first CR or LF; a CR takes an LF, or a CR and an LF,
// that follow it into its ending.
std::vector<TextLine> SplitLines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<TextLine> lines;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      lines.push_back({text, {}});
      break;
    }
    std::size_t size = 1;
    if (text.substr(end, 2) == "\r\n") {
      size = 2;
    } else if (text.substr(end, 3) == "\r\r\n") {
      size = 3;
    }
    lines.push_back({text.substr(0, end), text.substr(end, size)});
    text.remove_prefix(end + size);
  }
  return lines;
}

// Every line of the input that no edit touched is in the written text, in
// its order, as it was; only a last line without an ending may gain one.
void CheckUntouchedLines(std::string_view input, std::string_view written, const Model& model) {
  // The node each line of the input belongs to: the last header at or above
  // it. The model lists the nodes read in file order.
  const std::vector<TextLine> lines = SplitLines(input);
  std::size_t owner = kNone;
  std::size_t next = 0;
  const std::vector<TextLine> out = SplitLines(written);
  std::size_t found = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    while (next < model.nodes.size() && model.nodes[next].line != 0 &&
           model.nodes[next].line <= number) {
      owner = next++;
    }
    if (model.touched[i + 1] || (owner != kNone && model.nodes[owner].removed)) continue;
    while (found < out.size() && !(out[found].text == lines[i].text &&
                                   (lines[i].eol.empty() || out[found].eol == lines[i].eol))) {
      ++found;
    }
    Check(found < out.size());
    ++found;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  Document document;
  kestrine::Error error;
  if (!kestrine::ini::Parse(input, &document, &error)) {
    Check(error.line >= 1 && !error.message.empty());
    Check(static_cast<std::size_t>(error.line) <=
          std::max<std::size_t>(1, SplitLines(input).size()));
    Check(document.roots().empty());
    return 0;
  }
  Check(kestrine::ini::Serialize(document) == input);

  Model model;
  std::vector<Node*> handles;
  BuildModel(document, &model, &handles);
  Check(DumpModel(model) == DumpDocument(document));
  model.touched.assign(SplitLines(input).size() + 2, false);

  FuzzedDataProvider data(bytes, size);
  const int edits = data.ConsumeIntegralInRange(0, 24);
  for (int i = 0; i < edits && data.remaining_bytes() > 0; ++i) {
    const int edit = handles.empty() ? 0 : data.ConsumeIntegralInRange(0, 7);
    if (edit == 0) {
      AddNode(data, &document, &model, &handles);
    } else if (edit <= 3) {
      SetAttribute(data, &model, handles, /*ordered=*/edit == 3);
    } else if (edit <= 5) {
      RenameNode(data, &model, handles);
    } else {
      RemoveNode(data, &document, &model, handles);
    }
  }
  const std::string expected = DumpModel(model);
  Check(DumpDocument(document) == expected);

  const std::string written = kestrine::ini::Serialize(document);
  CheckUntouchedLines(input, written, model);
  Document reread;
  Check(kestrine::ini::Parse(written, &reread, nullptr));
  Check(DumpDocument(reread) == expected);
  Check(kestrine::ini::Serialize(reread) == written);
  return 0;
}
