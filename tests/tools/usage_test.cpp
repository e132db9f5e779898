// Exit statuses and messages of the tool: usage errors, missing files and
// names, help and version.
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
    {"NoSubcommand", {}, 2, "", "kestrine: "},
    {"UnknownSubcommand", {"frobnicate"}, 2, "", "--help"},
    {"MissingFolder", {"list"}, 2, "", "FOLDER"},
    {"EmptyFolder", {"list", ""}, 2, "", "must not be empty"},
    {"ExtraArgument", {"list", kOrders, "more"}, 2, "", "kestrine: "},
    {"FindWithoutWsdl", {"find", kOrders}, 2, "", "--wsdl"},
    {"EndpointWithoutServiceName",
     {"find", kOrders, "--wsdl", "w", "--endpoint", "e"},
     2,
     "",
     "--endpoint needs --service-name"},
    {"AddEmptyName", {"add", kOrders, "--name", "", "--wsdl", "w"}, 2, "", "--name"},
    {"AddUddiContradictsType",
     {"add", kOrders, "--name", "n", "--wsdl", "w", "--location-type", "1", "--uddi-key", "k"},
     2,
     "",
     "--location-type 1"},
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

}  // namespace
}  // namespace kestrine::testing
