#include "command_words.h"

#include <kestrine/kestrine.h>
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string_view>

#include "display_text.h"
#include "nearest_word.h"
#include "record_fields.h"

namespace kestrine::tool {
namespace {

bool Visible(const CLI::App* command) { return !command->get_group().empty(); }

std::vector<const CLI::App*> Subcommands(const CLI::App& command) {
  return command.get_subcommands(Visible);
}

std::vector<const CLI::Option*> NamedOptions(const CLI::App& command) {
  return command.get_options([](const CLI::Option* option) {
    return option->nonpositional() && !option->get_group().empty();
  });
}

std::vector<const CLI::Option*> Positionals(const CLI::App& command) {
  return command.get_options([](const CLI::Option* option) {
    return option->get_positional() && !option->nonpositional();
  });
}

// How each option is written: its long names, and its short names when it
// has no long one.
std::vector<std::string> OptionWords(const CLI::App& command) {
  std::vector<std::string> words;
  for (const CLI::Option* option : NamedOptions(command)) {
    for (const std::string& name : option->get_lnames()) words.push_back("--" + name);
    if (option->get_lnames().empty()) {
      for (const std::string& name : option->get_snames()) words.push_back("-" + name);
    }
  }
  return words;
}

std::vector<std::string> SubcommandWords(const CLI::App& command) {
  std::vector<std::string> words;
  for (const CLI::App* sub : Subcommands(command)) words.push_back(sub->get_name());
  return words;
}

// "-x", "--name" and "--name=value"; not "-", and not a negative number.
bool IsOptionWord(std::string_view word) {
  return word.size() > 1 && word[0] == '-' &&
         std::isdigit(static_cast<unsigned char>(word[1])) == 0;
}

const CLI::Option* FindOption(const CLI::App& command, std::string_view word) {
  const std::string_view name = word.substr(0, word.find('='));
  for (const CLI::Option* option : NamedOptions(command)) {
    if (name.substr(0, 2) == "--") {
      for (const std::string& long_name : option->get_lnames()) {
        if (name.substr(2) == long_name) return option;
      }
    } else {
      for (const std::string& short_name : option->get_snames()) {
        if (name.substr(1) == short_name) return option;
      }
    }
  }
  return nullptr;
}

const CLI::App* FindSubcommand(const CLI::App& command, const std::string& word) {
  for (const CLI::App* sub : Subcommands(command)) {
    if (sub->get_name() == word) return sub;
  }
  return nullptr;
}

bool TakesValue(const CLI::Option& option) { return option.get_items_expected_max() > 0; }

// Where a command line has got to after some of its words.
struct Position {
  const CLI::App* command = nullptr;
  std::vector<std::string> path;       // the subcommands' names from the top
  std::vector<std::string> arguments;  // positional arguments of `command`
  bool awaiting_value = false;         // the next word is an option's value
  bool options_ended = false;          // after "--"
  std::string unknown;                 // the first word unknown where it stands
  bool unknown_is_option = false;
};

Position Follow(const CLI::App& app, const std::vector<std::string>& words) {
  Position at;
  at.command = &app;
  for (const std::string& word : words) {
    if (at.awaiting_value) {
      at.awaiting_value = false;
    } else if (!at.options_ended && word == "--") {
      at.options_ended = true;
    } else if (!at.options_ended && IsOptionWord(word)) {
      const CLI::Option* option = FindOption(*at.command, word);
      if (option == nullptr && at.unknown.empty()) {
        at.unknown = word;
        at.unknown_is_option = true;
      }
      at.awaiting_value =
          option != nullptr && TakesValue(*option) && word.find('=') == std::string::npos;
    } else if (const CLI::App* sub = at.arguments.empty() && !at.options_ended
                                         ? FindSubcommand(*at.command, word)
                                         : nullptr) {
      at.command = sub;
      at.path.push_back(word);
    } else if (Positionals(*at.command).empty()) {
      if (at.unknown.empty()) at.unknown = word;
    } else {
      at.arguments.push_back(word);
    }
  }
  return at;
}

std::string List(const std::vector<std::string>& words) {
  std::string list;
  for (const std::string& word : words) list += (list.empty() ? "" : ", ") + word;
  return list;
}

bool Printable(std::string_view text) {
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return std::iscntrl(static_cast<unsigned char>(c)) != 0; });
}

std::vector<std::string> ServiceNames(const std::string& folder) {
  CServiceRepositoryLight repository;
  std::vector<std::string> names;
  if (repository.LoadDataFromScript(folder.c_str()) == 0) repository.GetServiceNames(&names);
  return names;
}

}  // namespace

UsageHint HintForUnknownWords(const CLI::App& app, const std::vector<std::string>& args) {
  const Position at = Follow(app, args);
  std::string command = app.get_name();
  for (const std::string& name : at.path) command += ' ' + name;
  UsageHint hint{{}, command + " --help"};

  if (at.unknown.empty()) {
    if (at.command == &app)
      hint.message = "a subcommand is required: " + List(SubcommandWords(app));
    return hint;
  }
  std::vector<std::string> known = OptionWords(*at.command);
  if (at.unknown_is_option) {
    hint.message = "unknown option " + Quoted(at.unknown);
    if (at.command != &app) hint.message += " for " + command;
  } else {
    const std::vector<std::string> subcommands = SubcommandWords(*at.command);
    known.insert(known.begin(), subcommands.begin(), subcommands.end());
    hint.message = "unknown subcommand " + Quoted(at.unknown);
    if (at.command != &app) hint.message += " of " + command;
  }
  if (const std::string nearest = NearestWord(at.unknown, known); !nearest.empty()) {
    hint.message += "; did you mean " + nearest + "?";
  } else if (!at.unknown_is_option) {
    hint.message += "; the subcommands are: " + List(SubcommandWords(*at.command));
  }
  return hint;
}

void Complete(const CLI::App& app, const std::vector<std::string>& words, std::ostream& out) {
  const std::string current = words.empty() ? std::string() : words.back();
  const Position at =
      Follow(app, words.empty() ? words : std::vector<std::string>(words.begin(), words.end() - 1));

  const auto print = [&](const char* kind, const std::vector<std::string>& candidates) {
    out << kind << '\n';
    for (const std::string& candidate : candidates) {
      if (candidate.compare(0, current.size(), current) == 0 && Printable(candidate)) {
        out << candidate << '\n';
      }
    }
  };
  if (at.awaiting_value) return print("files", {});
  if (!at.options_ended && !current.empty() && current.front() == '-') {
    return print("words", OptionWords(*at.command));
  }
  const std::vector<const CLI::Option*> slots = Positionals(*at.command);
  if (slots.empty()) return print("words", SubcommandWords(*at.command));
  std::size_t index = at.arguments.size();
  if (index >= slots.size() && slots.back()->get_items_expected_max() > 1) index = slots.size() - 1;
  if (index >= slots.size()) return print("words", {});

  // Every subcommand takes the script folder first; a NAME is a service's.
  const std::string& slot = slots[index]->get_single_name();
  if (slot == "FOLDER") return print("folders", {});
  if (slot == "NAME" && index > 0 && slots.front()->get_single_name() == "FOLDER") {
    return print("words", ServiceNames(at.arguments.front()));
  }
  if (slot == "FIELD") {
    std::vector<std::string> keys;
    for (const Field& field : Fields()) keys.emplace_back(field.key);
    return print("words", keys);
  }
  print("files", {});
}

}  // namespace kestrine::tool
