// Notes: what a command that changes the services file tells on standard
// error besides its result (a file created, lines a rewrite dropped).
// `--quiet` keeps them back; results on standard output and errors stay.
#ifndef KESTRINE_TOOLS_NOTES_H
#define KESTRINE_TOOLS_NOTES_H

#include <string>

namespace CLI {
class App;
}

namespace kestrine::tool {

/// Gives `command` the option --quiet.
void AddQuietOption(CLI::App& command);

/// Writes "kestrine: " and `text` to standard error, unless --quiet was given.
void Note(const std::string& text);

/// Whether --quiet was given (progress lines are kept back too).
bool NotesQuiet();

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_NOTES_H
