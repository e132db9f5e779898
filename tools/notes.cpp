#include "notes.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace kestrine::tool {
namespace {

// One command runs per process: the flag of the one that was chosen.
bool quiet = false;

}  // namespace

void AddQuietOption(CLI::App& command) {
  command.add_flag("--quiet", quiet,
                   "Print no notes on standard error (results and errors are still printed)");
}

bool NotesQuiet() { return quiet; }

void Note(const std::string& text) {
  if (!quiet) std::cerr << "kestrine: " << text << '\n';
}

}  // namespace kestrine::tool
