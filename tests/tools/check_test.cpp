// `check`: each kind of problem found at its line; clean files pass.
#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

// The keys a writer writes into every node, in its order.
// clang-format off
const char* const kWrittenKeys[] = {
    "LinkedToZR", "Name", "CreatedBy", "Description", "ServiceName", "WSDLLocation",
    "ServiceAddress", "LocationType", "KeepUpToDate", "CreationDate", "LastSyncWithWSDL",
    "LastSyncWithWSDLZROrininal", "OverrideServiceAddress", "UseProxy", "ProxyUserName",
    "ProxyServerName", "ProxyPassword", "ProxyPortNumber", "UseSecurity", "Password", "UserName",
    "UseJmsTransport", "JmsRequestQueue", "JmsResponseQueue"};
// clang-format on

// A service node with every key a writer writes (flags 0, location type
// not set, every other value empty); `values` replaces values, `omit` leaves
// keys out, `extra` lines follow.
std::string Node(int n, std::map<std::string, std::string> values, std::set<std::string> omit = {},
                 const std::string& extra = "") {
  std::string text = "[Services\\Service_" + std::to_string(n) + "]\n";
  for (const char* key : kWrittenKeys) {
    if (omit.count(key) != 0) continue;
    const auto value = values.find(key);
    const std::set<std::string> flags = {"LinkedToZR", "KeepUpToDate", "OverrideServiceAddress",
                                         "UseProxy",   "UseSecurity",  "UseJmsTransport"};
    const std::string fallback = flags.count(key) != 0                ? "0"
                                 : key == std::string("LocationType") ? "-1"
                                                                      : "";
    text += std::string(key) + "=" + (value != values.end() ? value->second : fallback) + "\n";
  }
  return text + extra;
}

int LineOf(const std::string& text, const std::string& marker) {
  const std::size_t at = text.find(marker);
  EXPECT_NE(at, std::string::npos) << marker;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

using CheckTest = ToolTest;

TEST_F(CheckTest, SamplesAreClean) {
  for (const char* script : {"Orders", "Billing"}) {
    const ToolResult check = RunTool({"check", Script(script)});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find("no problems found"), std::string::npos) << check.out;
  }
}

TEST_F(CheckTest, FindsEachProblemAtItsLine) {
  const std::string text = "; hand-edited\n[Services]\n" +
                           Node(1, {{"Name", "Alpha"}, {"LinkedToZR", "1"}}) +
                           Node(2,
                                {{"Name", "Beta"},
                                 {"CreationDate", "yesterday"},
                                 {"LastSyncWithWSDL", "2010-02-30 00:00:00"},
                                 {"LastSyncWithWSDLZROrininal", "1960-05-01 00:00:00"},
                                 {"LocationType", "two"},
                                 {"KeepUpToDate", "false"},
                                 {"ProxyServerName", "proxy.example"},
                                 {"UseSecurity", "00"},
                                 {"Password", "pw"}},
                                {}, "ServiceAdress=x\nZR_ID=5\n") +
                           Node(3, {{"Name", "Alpha"}, {"CreationDate", "2010-03-28 02:30:00"}}, {},
                                "UDDIServer=http://uddi\n") +
                           Node(4, {}, {"Name", "Description"}) +
                           Node(5, {{"Name", "Gamma"}, {"LocationType", "2"}}, {}, "Name=Delta\n") +
                           "[Services\\Service_5\\Extra]\n[Other]\nkey=value\n";
  WriteBytes(FileOf("Orders"), text);

  struct Expected {
    std::string marker;   // locates the line
    std::string message;  // part of the finding
  };
  const Expected expected[] = {
      {"[Services\\Service_1]", "lacks keys that a writer always writes: ZR_ID"},
      {"LocationType=two", "LocationType \"two\" is not a number"},
      {"KeepUpToDate=false", "KeepUpToDate \"false\" loads as true"},
      {"CreationDate=yesterday", "\"yesterday\" is not a time of the form YYYY-MM-DD hh:mm:ss"},
      {"=2010-02-30", "reads as the time 2010-03-02 00:00:00"},
      {"=1960-05-01", "reads as 0"},
      // Loading drops the values of a settings group that is off.
      {"ProxyServerName=proxy.example",
       "is ignored: loading keeps it only when UseProxy reads true"},
      {"UseSecurity=00", "UseSecurity \"00\" loads as false"},
      {"Password=pw", "is ignored: loading keeps it only when UseSecurity reads true"},
      {"ServiceAdress=x",
       "not a key of a service node; loading ignores it (did you mean ServiceAddress?)"},
      {"ZR_ID=5", "is ignored: loading keeps it only when LinkedToZR reads true"},
      {"[Services\\Service_3]", "names the service \"Alpha\", which the section at line 3"},
      {"=2010-03-28 02:30:00", "not as written"},  // an hour skipped by daylight-saving time
      {"UDDIServer=http://uddi", "is ignored: loading keeps it only when LocationType is 2"},
      {"[Services\\Service_4]", "lacks keys that a writer always writes: Name, Description"},
      {"[Services\\Service_5]",
       "lacks keys that a writer always writes: UDDIServer, UDDIVersion, UDDIServiceKey"},
      {"Name=Delta", "key Name repeats the one at line"},
      {"[Services\\Service_5\\Extra]", "below a service node"},
      {"[Other]", "not the [Services] section"},
  };
  const ToolResult check = RunTool({"check", Script("Orders")});
  EXPECT_EQ(check.status, 1);
  std::vector<std::string> lines;
  std::istringstream out(check.out);
  for (std::string line; std::getline(out, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), std::size(expected)) << check.out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string prefix =
        FileOf("Orders") + ":" + std::to_string(LineOf(text, expected[i].marker)) + ": ";
    EXPECT_EQ(lines[i].rfind(prefix, 0), 0U) << lines[i] << "\nexpected at " << prefix;
    EXPECT_NE(lines[i].find(expected[i].message), std::string::npos) << lines[i];
  }
  EXPECT_NE(check.err.find("19 problems"), std::string::npos) << check.err;
}

struct ParseCase {
  const char* label;
  const char* text;
  int line;
  const char* message;
  int status;  // 3: cannot be parsed; 1: parsed, with problems
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const ParseCase& c, std::ostream* out) { *out << c.label; }

class CheckParse : public ToolTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(CheckParse, ReportsWhyAndWhere) {
  WriteBytes(FileOf("Orders"), GetParam().text);
  const ToolResult check = RunTool({"check", Script("Orders")});
  EXPECT_EQ(check.status, GetParam().status);
  const std::string where =
      FileOf("Orders") + (GetParam().line > 0 ? ":" + std::to_string(GetParam().line) : "") + ": ";
  EXPECT_EQ(check.out.rfind(where, 0), 0U) << check.out;
  EXPECT_NE(check.out.find(GetParam().message), std::string::npos) << check.out;
}

const ParseCase kParseCases[] = {
    {"UnclosedHeader", "[Services]\nName=x\n[Services\\Service_1\n", 3, "closing", 3},
    {"ParentNotOpen", "[Services]\n\n[Other\\Service_1]\n", 3, "parent", 3},
    {"EmptyName", "; one\n[Services]\n[Services\\ ]\n", 3, "empty name", 3},
    {"NoServicesRoot", "[Settings]\nName=x\n", 0, "no [Services] section", 1},
    {"Utf16", "\xFF\xFE[", 1, "UTF-16", 3},
    // Odd line endings load all the same: a warning, and exit status 0.
    {"LoneCr", "[Services]\r; end\r", 1, "warning: line ends in a CR alone", 0},
    {"CrCrLf", "[Services]\r\r\n", 1, "warning: line ends in CR CR LF", 0},
};

INSTANTIATE_TEST_SUITE_P(Tool, CheckParse, ::testing::ValuesIn(kParseCases), LabelName());

}  // namespace
}  // namespace kestrine::testing
