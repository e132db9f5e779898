// kestrine: the services of a script folder, from the command line.
#include <CLI/CLI.hpp>

#include <iostream>
#include <string>

#include "command_error.h"
#include "commands.h"
#include "kestrine/version.h"

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
  CLI::App app{"Lists, shows, finds, adds, removes and checks the web services of a script.",
               "kestrine"};
  app.set_version_flag("--version", "kestrine " KESTRINE_VERSION_STRING);
  app.require_subcommand(1);
  app.failure_message(FailureMessage);
  app.footer(
      "Every subcommand takes the script folder first; its services file is\n"
      "FOLDER/WSDL/web_services.ini. Run 'kestrine SUBCOMMAND --help' for details.");

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

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help and --version end the parse too; they are successes.
    const int status = app.exit(error);
    return FlushOutput(status == 0 ? kExitOk : kExitUsage);
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
