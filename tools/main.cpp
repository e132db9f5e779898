// kestrine: the services of a script folder, from the command line.
#include <CLI/CLI.hpp>

#include <iostream>
#include <string>
#include <vector>

#include <kestrine/version.h>
#include "command_error.h"
#include "command_words.h"
#include "commands.h"

namespace {

using kestrine::tool::CommandError;
using kestrine::tool::kExitFailure;
using kestrine::tool::kExitOk;
using kestrine::tool::kExitUsage;

std::string FailureMessage(const CLI::App* /*app*/, const CLI::Error& error) {
  return std::string("kestrine: ") + error.what() + "\nRun with --help for more information.\n";
}

// Output that could not be written is a failure, not a success: a listing
// cut short by a full disk must not look complete.
int FlushOutput(int status) {
  std::cout.flush();
  if (!std::cout && status == kExitOk) {
    std::cerr << "kestrine: cannot write to standard output\n";
    return kExitFailure;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Lists, shows, finds, adds, changes, removes, exports, imports and checks the web "
      "services of a script, or of every script below a folder.",
      "kestrine"};
  app.set_version_flag("--version", "kestrine " KESTRINE_VERSION_STRING);
  app.require_subcommand(1);
  app.failure_message(FailureMessage);
  kestrine::tool::AddListCommand(app);
  kestrine::tool::AddShowCommand(app);
  kestrine::tool::AddGetCommand(app);
  kestrine::tool::AddExportCommand(app);
  kestrine::tool::AddFindCommand(app);
  kestrine::tool::AddAddCommand(app);
  kestrine::tool::AddSetCommand(app);
  kestrine::tool::AddRemoveCommand(app);
  kestrine::tool::AddImportCommand(app);
  kestrine::tool::AddCheckCommand(app);
  kestrine::tool::AddScanCommand(app);
  // After the subcommands: they would take it over as their own.
  app.footer(
      "Every subcommand but scan takes the script folder first (find, set, export\n"
      "and check also take --under ROOT); its services file is\n"
      "FOLDER/WSDL/web_services.ini. Run 'kestrine SUBCOMMAND --help' for details.\n"
      "\n"
      "Texts: --encoding NAME (or $KESTRINE_ENCODING; default utf-8) names the\n"
      "encoding of the file's texts, such as windows-1252; output is converted to\n"
      "UTF-8 and input from it, and a text that cannot be converted is refused.\n"
      "\n"
      "Exit status: 0 done; 1 failed; 2 wrong usage; 3 no services file, one that\n"
      "cannot be parsed, or no service of that name.");

  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args.front() == kestrine::tool::kCompleteCommand) {
    kestrine::tool::Complete(app, {args.begin() + 1, args.end()}, std::cout);
    return FlushOutput(kExitOk);
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help and --version end the parse too; they are successes.
    if (error.get_exit_code() == 0) return FlushOutput(app.exit(error));
    // A mistyped word is named, with the word that was likely meant.
    const kestrine::tool::UsageHint hint = kestrine::tool::HintForUnknownWords(app, args);
    if (hint.message.empty()) return FlushOutput(app.exit(error) == 0 ? kExitOk : kExitUsage);
    std::cerr << "kestrine: " << hint.message << "\nRun '" << hint.help
              << "' for more information.\n";
    return kExitUsage;
  } catch (const CommandError& error) {
    // An empty message: the command has said all there is to say.
    const int status = FlushOutput(error.status());
    if (*error.what() != '\0') std::cerr << "kestrine: " << error.what() << '\n';
    if (error.status() == kExitUsage) std::cerr << "Run with --help for more information.\n";
    return status;
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << "kestrine: " << error.what() << '\n';
    return kExitFailure;
  }
  return FlushOutput(kExitOk);
}
