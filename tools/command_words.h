// The words a command line may hold (subcommands, their options and
// arguments), read from the application itself: so that a hint for a
// mistyped word and the shell's completion know every command, also one
// added later, without a list of their own.
#ifndef KESTRINE_TOOLS_COMMAND_WORDS_H
#define KESTRINE_TOOLS_COMMAND_WORDS_H

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace kestrine::tool {

/// What a failed command line (`args`, without the program's name) got
/// wrong, for a message: the first word that is neither a subcommand nor an
/// option where it stands, with the nearest known one ("did you mean"), or
/// that a subcommand is missing. Empty when every word is known; then the
/// parser's own message says what is wrong. `help` is the command that
/// describes the command line's last known subcommand ("kestrine list --help").
struct UsageHint {
  std::string message;
  std::string help;
};
UsageHint HintForUnknownWords(const CLI::App& app, const std::vector<std::string>& args);

/// The hidden subcommand that shell completion runs. Not a CLI11 subcommand:
/// it must take every word as it is, "--help" included.
inline constexpr char kCompleteCommand[] = "__complete";

/// Completes the last of `words` (the command line after the program's name;
/// the last word is the one being typed, possibly empty). Prints the kind of
/// completion on the first line: "words" (only the lines that follow),
/// "folders" or "files" (names from the file system); then the candidates
/// that start with the word being typed, one per line: subcommands, options,
/// or the names of the services in the script folder already typed. A
/// subcommand's arguments complete by their names: FOLDER as a folder,
/// NAME (after FOLDER) as a service's name, any other as a file; an option's
/// value as a file.
void Complete(const CLI::App& app, const std::vector<std::string>& words, std::ostream& out);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_COMMAND_WORDS_H
