#include "kestrine/check.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <map>
#include <new>
#include <optional>
#include <string_view>

#include "ini/document.h"
#include "ini/node.h"
#include "ini/parser.h"
#include "kestrine/fields.h"
#include "kestrine/shown_text.h"
#include "kestrine/status.h"
#include "platform/error.h"
#include "platform/folder.h"
#include "platform/path.h"
#include "platform/whole_file.h"
#include "repository/field_table.h"
#include "repository/guarded.h"
#include "repository/services_file.h"
#include "repository/value_checks.h"

namespace kestrine {
namespace {

using fields::FieldId;
using ini::Attribute;
using ini::Node;

std::string OneLine(std::string_view text) { return ShownText(text); }
std::string Quoted(std::string_view text) { return '"' + ShownText(text) + '"'; }

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
    const fields::Group& entry = fields::GroupOf(group);
    if (entry.switchId == FieldId::kCount || entry.rule.whenOff == WhenOff::kKept) return true;
    const Field& switchField = fields::FieldOf(entry.switchId);
    const Attribute* flag = node_.FindAttribute(switchField.key);
    if (flag == nullptr) return false;
    CService read;
    if (SetFieldText(read, switchField, flag->c_value()) != kOk) throw std::bad_alloc();
    return GroupOn(read, group);
  }

  const Node& node_;
  // By the group's value; a group this table does not know is read.
  std::array<bool, 8> known_{};
  std::array<bool, 8> reads_{};
};

class Checker {
 public:
  Checker(FileCheck& result, const TextCheck& texts) : result_(result), texts_(texts) {}

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
      Add(0, ProblemKind::kNoServices,
          "no [Services] section: the file holds no services; " + WhatIsThere(document));
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

  void Add(int line, ProblemKind kind, std::string message, std::string_view key = {}) {
    result_.problems.push_back(FileProblem{line, kind, std::move(message), std::string(key)});
  }

  // A node that loading does not read, and the nodes below it.
  void Ignore(const Node& node, const std::string& why) {
    Add(node.line(), ProblemKind::kIgnoredSection, "section " + Label(node) + " " + why);
    for (const Node* child : node.children()) {
      Ignore(*child, "lies below " + Label(node) + "; loading ignores it");
    }
  }

  void CheckServiceNode(const Node& node) {
    for (const Node* child : node.children()) {
      Ignore(*child, "lies below a service node; loading ignores it");
    }
    // A node without a name is loaded under the default name, one space.
    const Attribute* name_key = node.FindAttribute(fields::KeyOf(FieldId::kName));
    const std::string name = name_key != nullptr ? std::string(LoadedValue(*name_key)) : " ";
    const auto [held, is_new] = names_.emplace(name, node.line());
    if (!is_new) {
      Add(node.line(), ProblemKind::kNameHeld,
          "section " + Label(node) + " names the service " + Quoted(name) +
              ", which the section at line " + std::to_string(held->second) +
              " already holds; loading ignores this one");
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
      for (const Field& field : fields::kFields) {
        const bool written = RuleOf(field.group).whenOff != WhenOff::kLeftOut;
        if (written != always || (!written && !groups(field.group))) continue;
        if (node.FindAttribute(field.key) == nullptr) missing.push_back(field.key);
      }
    }
    if (!missing.empty()) {
      std::string list;
      for (const std::string_view key : missing)
        list += (list.empty() ? "" : ", ") + std::string(key);
      Add(node.line(), ProblemKind::kMissingKeys,
          "section " + Label(node) + " lacks keys that a writer always writes: " + list);
    }

    std::map<std::string_view, int> first_line;
    for (const Attribute& attribute : node.attributes()) {
      if (FindField(attribute.key()) == nullptr) AddUnknownKey(attribute);
      const auto [first, is_new] = first_line.emplace(attribute.key(), attribute.line());
      if (!is_new) {
        Add(attribute.line(), ProblemKind::kRepeatedKey,
            "key " + OneLine(attribute.key()) + " repeats the one at line " +
                std::to_string(first->second) + "; loading reads only that one");
      }
    }
  }

  void AddUnknownKey(const Attribute& attribute) {
    Add(attribute.line(), ProblemKind::kUnknownKey,
        "key " + OneLine(attribute.key()) + " is not a key of a service node; loading ignores it",
        attribute.key());
  }

  void CheckValues(const Node& node, GroupsRead& groups) {
    for (const Field& field : fields::kFields) {
      const Attribute* attribute = node.FindAttribute(field.key);
      if (attribute == nullptr) continue;
      if (!groups(field.group)) {
        // A writer writes these keys empty, or not at all, while the group is off.
        if (!LoadedValue(*attribute).empty()) AddIgnoredValue(*attribute, field.group);
        continue;
      }
      std::optional<std::string> problem;
      if (field.kind == FieldKind::kTime) problem = TimeProblem(LoadedValue(*attribute));
      if (field.kind == FieldKind::kNumber || field.kind == FieldKind::kLocationType)
        problem = NumberProblem(LoadedValue(*attribute));
      if (field.kind == FieldKind::kFlag) problem = FlagProblem(LoadedValue(*attribute));
      if (problem) AddValueProblem(*attribute, ProblemKind::kBadValue, *problem);
      const bool text = field.kind == FieldKind::kText || field.kind == FieldKind::kLocation ||
                        field.kind == FieldKind::kDescription;
      if (text && texts_.valid != nullptr &&
          !texts_.valid(LoadedValue(*attribute), texts_.context)) {
        AddValueProblem(*attribute, ProblemKind::kInvalidText,
                        "is not valid text in the file's encoding");
      }
    }
  }

  void AddIgnoredValue(const Attribute& attribute, FieldGroup group) {
    const GroupRule& rule = RuleOf(group);
    const std::string key = rule.switchKey;
    const std::string on = std::to_string(rule.onValue);
    const bool flag = fields::FieldOf(fields::GroupOf(group).switchId).kind == FieldKind::kFlag;
    AddValueProblem(attribute, ProblemKind::kIgnoredValue,
                    "is ignored: loading keeps it only when " + key +
                        (flag ? " reads true" : " is " + on) + " (set " + key + "=" + on +
                        " to keep it, or empty the value)");
  }

  void AddValueProblem(const Attribute& attribute, ProblemKind kind, const std::string& problem) {
    Add(attribute.line(), kind,
        OneLine(attribute.key()) + " " + Quoted(LoadedValue(attribute)) + " " + problem);
  }

  FileCheck& result_;
  const TextCheck& texts_;
  std::map<std::string, int> names_;  // service name -> header line of its node
};

// Line endings that read as one line break but that some tools take
// otherwise: the first line of each such kind, as a warning.
void AddLineEndingWarnings(const ini::Document& document, std::vector<FileProblem>* problems) {
  struct Odd {
    ini::Eol eol;
    const char* message;
  };
  static constexpr Odd kOdd[] = {
      {ini::Eol::kCrCrLf,
       "line ends in CR CR LF (the file's line endings were converted to CR LF twice); it reads "
       "as one line break, but convert the file's line endings to CR LF or LF"},
      {ini::Eol::kCr,
       "line ends in a CR alone (old Mac line endings); it reads as a line break, but convert "
       "the file's line endings to CR LF or LF"},
  };
  for (const Odd& odd : kOdd) {
    if (const int line = document.first_line_ending(odd.eol); line > 0) {
      problems->push_back(FileProblem{line, ProblemKind::kLineEnding, odd.message, {}, true});
    }
  }
}

}  // namespace

int CheckServicesFile(const char* scriptFolder, FileCheck* check, TextCheck texts) noexcept {
  if (scriptFolder == nullptr || check == nullptr) return kFailure;
  const int status = Guarded([&] {
    *check = FileCheck();
    FileCheck& result = *check;
    std::string folder_path;
    std::string name;
    platform::SplitPath(platform::ToSystemPath(services_file::LoadPath(scriptFolder)), &folder_path,
                        &name);
    std::string text;
    Error error;
    platform::Folder folder;
    if (!platform::Folder::Open(folder_path, &folder, &error) ||
        !platform::ReadWholeFile(folder, name, &text, nullptr, &error)) {
      // No file, or something else in its place, is no file to check.
      if (error.code == ENOENT || error.code == ENOTDIR) return kNotFound;
      result.message = ShownText(error.message);
      return kFailure;
    }

    ini::Document document;
    if (!ini::Parse(text, &document, &error)) {
      result.problems.push_back(
          FileProblem{error.line, ProblemKind::kUnparsable, error.message, {}});
      return kNotFound;
    }
    AddLineEndingWarnings(document, &result.problems);
    Checker(result, texts).Run(document);
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const FileProblem& a, const FileProblem& b) { return a.line < b.line; });
    return kOk;
  });
  if (status == kFailure && check->message.empty()) {
    check->message = "out of memory while checking the services file";
  }
  return status;
}

}  // namespace kestrine
