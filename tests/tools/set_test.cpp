// `set`: a record changed where it stands; every line of the other records,
// and every comment, stays byte for byte.
#include "tool_test.h"

namespace kestrine::testing {
namespace {

struct SetCase {
  const char* label;
  const char* name;
  std::vector<std::string> options;
  std::string input;  // standard input: the passwords
  int status;
  const char* err_has;    // in standard error
  nlohmann::json fields;  // the record's fields that change, as the library reads them
  int lines = -1;         // the lines of its section that change, when none is added
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const SetCase& c, std::ostream* out) { *out << c.label; }

class Set : public ToolTest, public ::testing::WithParamInterface<SetCase> {};

int DifferentLines(const std::string& before, const std::string& after) {
  const std::vector<std::string> old_lines = file_sections_detail::LinesOf(before);
  const std::vector<std::string> new_lines = file_sections_detail::LinesOf(after);
  if (old_lines.size() != new_lines.size()) return -1;
  int different = 0;
  for (std::size_t i = 0; i < old_lines.size(); ++i) different += old_lines[i] != new_lines[i];
  return different;
}

TEST_P(Set, ChangesOnlyItsRecord) {
  const SetCase& c = GetParam();
  const std::string folder = Script("Commented");
  const std::string before = ReadBytes(FileOf("Commented"));
  const nlohmann::json records = LibraryRecords(folder, true);

  std::vector<std::string> args{"set", folder, c.name};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const ToolResult set = RunTool(args, c.input);
  EXPECT_EQ(set.status, c.status) << set.err;
  EXPECT_NE(set.err.find(c.err_has), std::string::npos) << set.err;
  EXPECT_TRUE(set.out.empty()) << set.out;
  const std::string after = ReadBytes(FileOf("Commented"));
  if (c.status != 0) {
    EXPECT_EQ(after, before);
    return;
  }

  // The record's section (with the comments that introduce it) alone changes.
  const std::vector<std::string> old_sections = Sections(before);
  const std::vector<std::string> new_sections = Sections(after);
  const std::size_t changed = SectionNamed(old_sections, c.name);
  ASSERT_NE(changed, 0U);
  ASSERT_EQ(new_sections.size(), old_sections.size());
  for (std::size_t i = 0; i < old_sections.size(); ++i) {
    if (i != changed) {
      EXPECT_EQ(new_sections[i], old_sections[i]) << i;
    }
  }
  if (c.lines >= 0) {
    EXPECT_EQ(DifferentLines(old_sections[changed], new_sections[changed]), c.lines)
        << new_sections[changed];
  }
  // Every other field as it was: CreatedBy and CreationDate too.
  EXPECT_EQ(LibraryRecords(folder, true), Changed(records, {{c.name, c.fields}}));
  EXPECT_EQ(RunTool({"check", folder}).status, 0);
}

const SetCase kSetCases[] = {
    {"Endpoint",
     "Catalogue",
     {"--endpoint", "http://shop2.example.com/c"},
     "",
     0,
     "",
     {{"ServiceAddress", "http://shop2.example.com/c"}},
     1},
    {"DescriptionWithLineBreaks",
     "Stock",
     {"--description", "two\r\nlines"},
     "",
     0,
     "",
     {{"Description", "two\r\nlines"}},
     1},
    {"PasswordFromStandardInput",
     "Payments",
     {"--password-stdin"},
     "n3w;pass\n",
     0,
     "",
     {{"Password", "n3w;pass"}},
     1},
    {"ProxyOn",
     "Catalogue",
     {"--proxy-server", "proxy.example.com", "--proxy-port", "3128"},
     "",
     0,
     "",
     {{"UseProxy", true}, {"ProxyServerName", "proxy.example.com"}, {"ProxyPortNumber", "3128"}},
     3},
    {"ProxyOff",
     "Stock",
     {"--no-proxy"},
     "",
     0,
     "",
     {{"UseProxy", false},
      {"ProxyUserName", ""},
      {"ProxyServerName", ""},
      {"ProxyPortNumber", ""},
      {"ProxyPassword", ""}},
     5},
    {"CredentialsOff",
     "Payments",
     {"--no-credentials"},
     "",
     0,
     "",
     {{"UseSecurity", false}, {"Password", ""}, {"UserName", ""}},
     3},
    {"JmsOff",
     "Notices",
     {"--no-jms"},
     "",
     0,
     "",
     {{"UseJmsTransport", false}, {"JmsRequestQueue", ""}, {"JmsResponseQueue", ""}},
     3},
    {"FlagsBothWays",
     "Stock",
     {"--no-keep-up-to-date", "--override-address"},
     "",
     0,
     "",
     {{"KeepUpToDate", false}, {"OverrideServiceAddress", true}},
     2},
    {"LinkToZr",
     "Catalogue",
     {"--zr-id", "77"},
     "",
     0,
     "",
     {{"LinkedToZR", true}, {"ZR_ID", 77}}},  // ZR_ID is a new line
    {"Uddi",
     "Notices",
     {"--uddi-key", "uddi:n"},
     "",
     0,
     "",
     {{"LocationType", 2}, {"UDDIServiceKey", "uddi:n"}}},
    {"Rename", "Stock", {"--rename", "Inventory"}, "", 0, "", {{"Name", "Inventory"}}, 1},
    {"RenameAndEndpoint",
     "Payments",
     {"--rename", "Billing", "--endpoint", "https://b"},
     "",
     0,
     "",
     {{"Name", "Billing"}, {"ServiceAddress", "https://b"}},
     2},
    // Refused: nothing changes.
    {"RenameToHeldName",
     "Stock",
     {"--rename", "Payments"},
     "",
     1,
     "already holds a service named \"Payments\"",
     nullptr},
    {"NoSuchRecord", "Nope", {"--endpoint", "x"}, "", 3, "no service named \"Nope\"", nullptr},
    {"NothingToChange", "Stock", {}, "", 2, "nothing to change", nullptr},
    {"OffAndOnAtOnce", "Stock", {"--no-proxy", "--proxy-port", "1"}, "", 2, "--no-proxy", nullptr},
    {"EmptyNewName", "Stock", {"--rename", ""}, "", 2, "--rename", nullptr},
    {"NoPasswordOnInput", "Payments", {"--password-stdin"}, "", 1, "password", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Tool, Set, ::testing::ValuesIn(kSetCases), LabelName());

}  // namespace
}  // namespace kestrine::testing
