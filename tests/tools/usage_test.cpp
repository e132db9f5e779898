// Exit statuses and messages of the tool: usage errors, missing files and
// names, help and version, a folder that is not a script folder, --quiet.
#include <filesystem>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

constexpr char kOrders[] = "@Orders";  // stands for the copied Orders folder
constexpr char kEmpty[] = "@Empty";    // a script folder without a WSDL folder
constexpr char kBroken[] = "@Broken";  // a services file that cannot be parsed

struct StatusCase {
  const char* label;
  std::vector<std::string> args;
  int status;
  const char* out_has;  // in standard output ("" for nothing to look for)
  const char* err_has;  // in standard error
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const StatusCase& c, std::ostream* out) { *out << c.label; }

class ExitStatus : public ToolTest, public ::testing::WithParamInterface<StatusCase> {
 protected:
  std::vector<std::string> Resolve(std::vector<std::string> args) const {
    for (std::string& arg : args) {
      if (arg == kOrders) arg = Script("Orders");
      if (arg == kEmpty) arg = Script("Empty");
      if (arg == kBroken) arg = Script("Broken");
    }
    return args;
  }
};

TEST_P(ExitStatus, StatusAndMessage) {
  std::filesystem::create_directories(Script("Empty"));
  std::filesystem::create_directories(Script("Broken") + "/WSDL");
  WriteBytes(FileOf("Broken"), "[Services]\n[Services\\Service_1\nName=x\n");
  const std::string before = ReadBytes(FileOf("Orders"));

  const StatusCase& c = GetParam();
  const ToolResult result = RunTool(Resolve(c.args));
  EXPECT_EQ(result.status, c.status) << result.err;
  EXPECT_NE(result.out.find(c.out_has), std::string::npos) << result.out;
  EXPECT_NE(result.err.find(c.err_has), std::string::npos) << result.err;
  if (c.status != 0) {
    EXPECT_TRUE(result.out.empty()) << result.out;
  }
  EXPECT_EQ(ReadBytes(FileOf("Orders")), before) << "no failing command changes the file";
  EXPECT_FALSE(std::filesystem::exists(Script("Empty") + "/WSDL"));
}

const StatusCase kStatusCases[] = {
    {"Version", {"--version"}, 0, "kestrine 0.1.0\n", ""},
    {"Help", {"--help"}, 0, "check", ""},
    {"SubcommandHelp", {"show", "--help"}, 0, "--show-secrets", ""},
    {"HelpNeedsNoFolder", {"add", "--help"}, 0, "--password-stdin", ""},
    {"NoSubcommand", {}, 2, "", "a subcommand is required: list, show"},
    {"UnknownSubcommand", {"frobnicate"}, 2, "", "the subcommands are: list, show"},
    {"MistypedSubcommand",
     {"lsit", kOrders},
     2,
     "",
     "unknown subcommand \"lsit\"; did you mean list?"},
    {"HelpAsSubcommand", {"help"}, 2, "", "did you mean --help?"},
    {"ShortVersion", {"-v"}, 2, "", "unknown option \"-v\"; did you mean --version?"},
    {"MistypedOption",
     {"list", kOrders, "--jsn"},
     2,
     "",
     "unknown option \"--jsn\" for kestrine list; did you mean --json?\nRun 'kestrine list "
     "--help'"},
    {"OptionOfAnotherSubcommand", {"list", kOrders, "--first"}, 2, "", "for kestrine list\n"},
    {"OptionValueIsNoOption",
     {"add", kOrders, "--name", "n", "--wsdl", "-w", "--zr-id", "x"},
     2,
     "",
     "--zr-id"},
    {"MissingFolder", {"list"}, 2, "", "FOLDER"},
    {"EmptyFolder", {"list", ""}, 2, "", "must not be empty"},
    {"ExtraArgument", {"list", kOrders, "more"}, 2, "", "kestrine: "},
    {"FindWithoutWsdl", {"find", kOrders}, 2, "", "--wsdl"},
    {"EndpointWithoutServiceName",
     {"find", kOrders, "--wsdl", "w", "--endpoint", "e"},
     2,
     "",
     "--match-endpoint needs --match-service-name"},
    {"AddEmptyName", {"add", kOrders, "--name", "", "--wsdl", "w"}, 2, "", "--name"},
    {"AddUddiContradictsType",
     {"add", kOrders, "--name", "n", "--wsdl", "w", "--location-type", "1", "--uddi-key", "k"},
     2,
     "",
     "--location-type 1"},
    {"WaitBelowZero",
     {"remove", kOrders, "OrderEntry", "--wait", "-1"},
     2,
     "",
     "--wait: must be a number of seconds, 0 or more, not -1"},
    {"AddTypeNotANumber",
     {"add", kOrders, "--name", "n", "--wsdl", "w", "--location-type", "x"},
     2,
     "",
     "kestrine: "},
    {"NoServicesFile", {"list", kEmpty}, 3, "", "--create"},
    {"NoServicesFileToCheck", {"check", kEmpty}, 3, "", "web_services.ini"},
    {"AddWithoutCreate", {"add", kEmpty, "--name", "n", "--wsdl", "w"}, 3, "", "--create"},
    {"UnparsableFile", {"list", kBroken}, 3, "", "kestrine check"},
    {"ShowUnknownName", {"show", kOrders, "Nope"}, 3, "", "\"Nope\""},
    {"RemoveUnknownName", {"remove", kOrders, "Nope"}, 3, "", "kestrine list"},
};

INSTANTIATE_TEST_SUITE_P(Tool, ExitStatus, ::testing::ValuesIn(kStatusCases), LabelName());

// A folder that is not a script folder is named as what it is, with the
// script folder meant, and never answered with advice to create a file.
TEST_F(ToolTest, WrongFolderNamesTheScriptFolder) {
  const struct {
    const char* folder;  // below the copied samples
    const char* says;
  } cases[] = {
      {"Ordres", "there is no script folder "},
      {"Orders/WSDL", " is a script's WSDL folder; give the script folder that holds it instead: "},
      {"Orders/WSDL/",
       " is a script's WSDL folder; give the script folder that holds it instead: "},
      {"Orders/WSDL/web_services.ini", " is a script's services file; give the script folder "},
  };
  const std::string before = ReadBytes(FileOf("Orders"));
  for (const auto& c : cases) {
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"list"},
          {"show", "OrderEntry"},
          {"remove", "OrderEntry"},
          {"check"},
          {"add", "--create", "--name", "n", "--wsdl", "w"}}) {
      std::vector<std::string> args = command;
      args.insert(args.begin() + 1, Script(c.folder));
      const ToolResult result = RunTool(args);
      const std::string label = std::string(c.folder) + " " + command.front();
      EXPECT_EQ(result.status, 3) << label;
      EXPECT_NE(result.err.find(c.says), std::string::npos) << label << ": " << result.err;
      EXPECT_NE(result.err.find(Script("Orders")), std::string::npos)
          << label << ": " << result.err;
      EXPECT_EQ(result.err.find("create one with"), std::string::npos)
          << label << ": " << result.err;
    }
  }
  EXPECT_EQ(ReadBytes(FileOf("Orders")), before);
  EXPECT_FALSE(std::filesystem::exists(Script("Orders/WSDL/WSDL")));
  EXPECT_FALSE(std::filesystem::exists(Script("Ordres")));
}

// --quiet drops the notes of a command that changes the file, not its
// result on standard output, and not its errors.
TEST_F(ToolTest, QuietKeepsResultsAndErrors) {
  // A section that loading ignores.
  for (const char* script : {"Orders", "Billing"}) {
    WriteBytes(FileOf(script), ReadBytes(FileOf(script)) + "\n[Other]\nkey=value\n");
  }
  for (const bool quiet : {false, true}) {
    const std::string folder = Script(quiet ? "NewQuiet" : "New");
    std::filesystem::create_directories(folder);
    std::vector<std::vector<std::string>> commands = {
        // "created the services file ..."
        {"add", folder, "--create", "--name", "A", "--wsdl", "w"},
        // "warning: loading ignored 1 section(s) ..."
        quiet ? std::vector<std::string>{"remove", Script("Billing"), "InvoiceArchive"}
              : std::vector<std::string>{"remove", Script("Orders"), "OrderEntry"},
        // fails: the name is held
        {"add", folder, "--name", "A", "--wsdl", "w"},
    };
    for (std::vector<std::string>& args : commands) {
      if (quiet) args.push_back("--quiet");
      const ToolResult result = RunTool(args);
      const std::string label = args.front() + (quiet ? " --quiet" : "");
      if (&args == &commands.back()) {
        EXPECT_EQ(result.status, 1) << label;
        EXPECT_NE(result.err.find("already holds"), std::string::npos) << label << result.err;
        continue;
      }
      EXPECT_EQ(result.status, 0) << label << result.err;
      EXPECT_EQ(result.err.empty(), quiet) << label << result.err;
      EXPECT_EQ(result.out, args.front() == "add" ? "1\n" : "") << label;
    }
  }
}

}  // namespace
}  // namespace kestrine::testing
