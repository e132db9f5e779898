#include "check/services_check.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "check/value_checks.h"
#include "display_text.h"
#include "ini/document.h"
#include "ini/node.h"
#include "ini/parser.h"
#include "platform/error.h"
#include "platform/whole_file.h"
#include "record_fields.h"
#include "repository/services_file.h"

namespace kestrine::tool {
namespace {

using ini::Attribute;
using ini::Node;

namespace file = services_file;

// The header as the file spells it: the names of the nodes down to `node`,
// each as OneLine shows it, joined by single backslashes.
std::string Label(const Node& node) {
  std::string label;
  for (const Node* at = &node; at != nullptr; at = at->parent()) {
    label.insert(0, OneLine(at->name()));
    if (at->parent() != nullptr) label.insert(0, 1, '\\');
  }
  return "[" + label + "]";
}

// Loading reads a value as a C string: a NUL byte ends it.
std::string_view LoadedValue(const Attribute& attribute) { return attribute.c_value(); }

// Whether loading reads (and keeps) a node's keys of a group: the group's
// switch, read as loading reads it, turns it on, or the group keeps its keys
// while off. Each group is looked at once per node.
class GroupsRead {
 public:
  explicit GroupsRead(const Node& node) : node_(node) {}

  bool operator()(FieldGroup group) {
    const auto at = static_cast<std::size_t>(group);
    if (at >= known_.size()) return true;
    if (!known_[at]) {
      reads_[at] = Reads(group);
      known_[at] = true;
    }
    return reads_[at];
  }

 private:
  bool Reads(FieldGroup group) const {
    const Field* switchField = SwitchOf(group);
    if (switchField == nullptr || RuleOf(group).whenOff == WhenOff::kKept) return true;
    const Attribute* flag = node_.FindAttribute(switchField->key);
    if (flag == nullptr) return false;
    CService read;
    SetFieldText(read, *switchField->row, flag->c_value());
    return GroupOn(read, group);
  }

  const Node& node_;
  // By the group's value; a group this table does not know is read.
  std::array<bool, 8> known_{};
  std::array<bool, 8> reads_{};
};

class Checker {
 public:
  explicit Checker(FileCheck& result) : result_(result) {}

  void Run(const ini::Document& document) {
    const Node* services = nullptr;
    for (const Node* root : document.roots()) {
      if (services == nullptr && std::strcmp(root->c_name(), file::kServicesRoot) == 0) {
        services = root;
      } else {
        Ignore(*root, root->name() == file::kServicesRoot
                          ? "is a second [Services] section; loading reads only the first"
                          : "is not the [Services] section; loading ignores it");
      }
    }
    if (services == nullptr) {
      Add(0, "no [Services] section: the file holds no services; " + WhatIsThere(document));
      return;
    }
    for (const Node* node : services->children()) CheckServiceNode(*node);
  }

 private:
  // What a file without a [Services] section holds instead.
  static std::string WhatIsThere(const ini::Document& document) {
    if (document.roots().empty()) return "it has no section header at all";
    const Node& first = *document.roots().front();
    return "it has " + std::to_string(document.roots().size()) + " other section(s), the first " +
           Label(first) + " at line " + std::to_string(first.line());
  }

  void Add(int line, std::string message) {
    result_.findings.push_back(Finding{line, std::move(message)});
  }

  // A node that loading does not read, and the nodes below it.
  void Ignore(const Node& node, const std::string& why) {
    Add(node.line(), "section " + Label(node) + " " + why);
    result_.ignored_nodes.push_back(node.line());
    for (const Node* child : node.children()) {
      Ignore(*child, "lies below " + Label(node) + "; loading ignores it");
    }
  }

  void CheckServiceNode(const Node& node) {
    for (const Node* child : node.children()) {
      Ignore(*child, "lies below a service node; loading ignores it");
    }
    // A node without a name is loaded under the default name, one space.
    const Attribute* name_key = node.FindAttribute(NameField().key);
    const std::string name = name_key != nullptr ? std::string(LoadedValue(*name_key)) : " ";
    const auto [held, is_new] = names_.emplace(name, node.line());
    if (!is_new) {
      Add(node.line(), "section " + Label(node) + " names the service " + Quoted(name) +
                           ", which the section at line " + std::to_string(held->second) +
                           " already holds; loading ignores this one");
      result_.ignored_nodes.push_back(node.line());
    } else {
      ++result_.services;
    }
    GroupsRead groups(node);
    CheckKeys(node, groups);
    CheckValues(node, groups);
  }

  void CheckKeys(const Node& node, GroupsRead& groups) {
    // The keys a writer writes into every node, then those it writes for the
    // groups that are on.
    std::vector<std::string_view> missing;
    for (const bool always : {true, false}) {
      for (const Field& field : Fields()) {
        const bool written = RuleOf(field.group).whenOff != WhenOff::kLeftOut;
        if (written != always || (!written && !groups(field.group))) continue;
        if (node.FindAttribute(field.key) == nullptr) missing.push_back(field.key);
      }
    }
    if (!missing.empty()) {
      std::string list;
      for (const std::string_view key : missing)
        list += (list.empty() ? "" : ", ") + std::string(key);
      Add(node.line(),
          "section " + Label(node) + " lacks keys that a writer always writes: " + list);
    }

    std::map<std::string_view, int> first_line;
    for (const Attribute& attribute : node.attributes()) {
      if (FindField(attribute.key()) == nullptr) AddUnknownKey(attribute);
      const auto [first, is_new] = first_line.emplace(attribute.key(), attribute.line());
      if (!is_new) {
        Add(attribute.line(), "key " + OneLine(attribute.key()) + " repeats the one at line " +
                                  std::to_string(first->second) + "; loading reads only that one");
      }
    }
  }

  void AddUnknownKey(const Attribute& attribute) {
    const Field* nearest = NearestField(attribute.key());
    Add(attribute.line(),
        "key " + OneLine(attribute.key()) + " is not a key of a service node; loading ignores it" +
            (nearest != nullptr ? std::string(" (did you mean ") + nearest->key + "?)"
                                : std::string()));
  }

  void CheckValues(const Node& node, GroupsRead& groups) {
    for (const Field& field : Fields()) {
      const Attribute* attribute = node.FindAttribute(field.key);
      if (attribute == nullptr) continue;
      if (!groups(field.group)) {
        // A writer writes these keys empty, or not at all, while the group is off.
        if (!LoadedValue(*attribute).empty()) AddIgnoredValue(*attribute, field.group);
        continue;
      }
      std::optional<std::string> problem;
      if (field.kind == FieldKind::kTime) problem = TimeProblem(LoadedValue(*attribute));
      if (field.kind == FieldKind::kNumber) problem = NumberProblem(LoadedValue(*attribute));
      if (field.kind == FieldKind::kFlag) problem = FlagProblem(LoadedValue(*attribute));
      if (problem) AddValueProblem(*attribute, *problem);
    }
  }

  void AddIgnoredValue(const Attribute& attribute, FieldGroup group) {
    const GroupRule& rule = RuleOf(group);
    const std::string key = rule.switchKey;
    const std::string on = std::to_string(rule.onValue);
    const bool flag = SwitchOf(group)->kind == FieldKind::kFlag;
    AddValueProblem(attribute, "is ignored: loading keeps it only when " + key +
                                   (flag ? " reads true" : " is " + on) + " (set " + key + "=" +
                                   on + " to keep it, or empty the value)");
  }

  void AddValueProblem(const Attribute& attribute, const std::string& problem) {
    Add(attribute.line(),
        OneLine(attribute.key()) + " " + Quoted(LoadedValue(attribute)) + " " + problem);
  }

  FileCheck& result_;
  std::map<std::string, int> names_;  // service name -> header line of its node
};

// The offset of the first CR that no LF follows, or npos.
std::size_t BareCarriageReturn(std::string_view text) {
  for (std::size_t at = text.find('\r'); at != std::string_view::npos;
       at = text.find('\r', at + 1)) {
    if (at + 1 == text.size() || text[at + 1] != '\n') return at;
  }
  return std::string_view::npos;
}

}  // namespace

FileCheck CheckServicesFile(const std::string& path) {
  FileCheck result;
  std::string text;
  Error error;
  if (!platform::ReadWholeFile(path, &text, &error)) {
    result.read_error = error.message;
    return result;
  }

  // A CR alone is no line break to the parser: a file saved with CR line
  // endings reads as one line, all comment if it starts with one.
  if (const std::size_t cr = BareCarriageReturn(text); cr != std::string_view::npos) {
    const int line = 1 + static_cast<int>(std::count(
                             text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cr), '\n'));
    result.findings.push_back(
        Finding{line,
                "line ends in a CR alone, which is no line break here: what follows it reads as "
                "part of the same line (convert the file's line endings to LF or CR LF)"});
  }

  ini::Document document;
  if (!ini::Parse(text, &document, &error)) {
    result.outcome = FileCheck::Outcome::kUnparsable;
    result.findings.push_back(Finding{error.line, error.message});
    return result;
  }
  result.outcome = FileCheck::Outcome::kParsed;
  Checker(result).Run(document);
  std::stable_sort(result.findings.begin(), result.findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return result;
}

}  // namespace kestrine::tool
