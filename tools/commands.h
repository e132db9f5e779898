// The subcommands. Each adds itself to the application; its callback runs
// when it was chosen and throws CommandError when it cannot do its work.
#ifndef KESTRINE_TOOLS_COMMANDS_H
#define KESTRINE_TOOLS_COMMANDS_H

namespace CLI {
class App;
}

namespace kestrine::tool {

void AddListCommand(CLI::App& app);
void AddShowCommand(CLI::App& app);
void AddGetCommand(CLI::App& app);
void AddExportCommand(CLI::App& app);
void AddFindCommand(CLI::App& app);
void AddAddCommand(CLI::App& app);
void AddSetCommand(CLI::App& app);
void AddRemoveCommand(CLI::App& app);
void AddImportCommand(CLI::App& app);
void AddCheckCommand(CLI::App& app);
void AddScanCommand(CLI::App& app);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_COMMANDS_H
