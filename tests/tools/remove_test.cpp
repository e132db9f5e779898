// `remove`: one record's lines go (the comments right above its header with
// them, those that introduce the next record not); every other line stays
// byte for byte, but for the headers after it that hold their place's number
// (Service_<k> for the k-th node), which move down with their place.
#include <set>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

struct RemoveCase {
  const char* label;
  const char* script;
  const char* name;
  std::vector<std::string> options;
  std::string appended;  // added to the file first
  int first_line;        // the lines that go, 1-based, in the file as it was
  int last_line;
  int status;
  const char* err_has;                 // in standard error
  std::vector<std::string> headers{};  // the node headers after, when given
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const RemoveCase& c, std::ostream* out) { *out << c.label; }

class Remove : public ToolTest, public ::testing::WithParamInterface<RemoveCase> {};

std::vector<std::string> NodeHeaders(const std::string& text) {
  std::vector<std::string> headers;
  for (const std::string& line : file_sections_detail::LinesOf(text)) {
    if (line.rfind("[Services\\", 0) == 0) headers.push_back(line);
  }
  return headers;
}

TEST_P(Remove, TakesItsSectionAlone) {
  const RemoveCase& c = GetParam();
  const std::string folder = Script(c.script);
  WriteBytes(FileOf(c.script), ReadBytes(FileOf(c.script)) + c.appended);
  const std::string before = ReadBytes(FileOf(c.script));
  nlohmann::json records = LibraryRecords(folder, true);

  std::vector<std::string> args{"remove", folder, c.name};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const ToolResult remove = RunTool(args);
  EXPECT_EQ(remove.status, c.status) << remove.err;
  EXPECT_NE(remove.err.find(c.err_has), std::string::npos) << remove.err;
  EXPECT_TRUE(remove.out.empty()) << remove.out;
  const std::string after = ReadBytes(FileOf(c.script));
  if (c.status != 0) {
    EXPECT_EQ(after, before);
    return;
  }

  // Every other line stays; a node's header may be renumbered.
  std::vector<std::string> expected = file_sections_detail::LinesOf(before);
  expected.erase(expected.begin() + c.first_line - 1, expected.begin() + c.last_line);
  const std::vector<std::string> lines = file_sections_detail::LinesOf(after);
  ASSERT_EQ(lines.size(), expected.size()) << after;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool headers =
        lines[i].rfind("[Services\\", 0) == 0 && expected[i].rfind("[Services\\", 0) == 0;
    if (!headers) {
      EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1 << " of\n" << after;
    }
  }
  if (!c.headers.empty()) {
    EXPECT_EQ(NodeHeaders(after), c.headers);
  }
  records.erase(c.name);
  EXPECT_EQ(LibraryRecords(folder, true), records);
  if (c.appended.empty()) {
    EXPECT_EQ(RunTool({"check", folder}).status, 0);
  }

  // The next record appended takes the next free node name.
  const std::size_t nodes = NodeHeaders(after).size();
  const ToolResult add = RunTool({"add", folder, "--name", "Appended", "--wsdl", "a.wsdl"});
  EXPECT_EQ(add.out, std::to_string(nodes + 1) + "\n") << add.err;
  const std::vector<std::string> headers = NodeHeaders(ReadBytes(FileOf(c.script)));
  EXPECT_EQ(std::set<std::string>(headers.begin(), headers.end()).size(), headers.size())
      << "no node name twice";
}

// A second node of the name LedgerPosting, which loading ignores.
const std::string kSecondLedger = "\n; a copy\n[Services\\Service_3]\nName=LedgerPosting\n";

// Nodes after the sample's four: one named otherwise above the removed one,
// later ones in and out of their place's number.
const std::string kNamedNodes =
    "\n[Services\\Weather]\nName=Weather\n\n[Services\\Service_6]\nName=Gone\n"
    "\n[Services\\Service_7]\nName=Later\n\n[Services\\Radar]\nName=Radar\n"
    "\n[Services\\Service_9]\nName=Last\n";
// A number not its place's (Service_6 the fifth node) above the removed one.
const std::string kGappedNodes =
    "\n[Services\\Service_6]\nName=Skipped\n\n[Services\\Service_7]\nName=Gone\n"
    "\n[Services\\Service_8]\nName=After\n";

// The sample's four node headers, then those of `more`, as lines.
std::vector<std::string> SampleHeadersAnd(std::vector<std::string> more) {
  more.insert(more.begin(), {"Service_1", "Service_2", "Service_3", "Service_4"});
  for (std::string& name : more) name = "[Services\\" + name + "]\n";
  return more;
}

const RemoveCase kRemoveCases[] = {
    // From the comment above the header to the blank line after the record.
    {"First", "Commented", "Catalogue", {}, "", 6, 33, 0, ""},
    {"Second", "Commented", "Payments", {}, "", 34, 62, 0, ""},
    {"Third", "Commented", "Stock", {}, "", 63, 89, 0, ""},
    // The comment that ends the file stays.
    {"Last", "Commented", "Notices", {}, "", 90, 116, 0, ""},
    {"ForceHasNoEffect", "Commented", "Stock", {"--force"}, "", 63, 89, 0, ""},
    {"Sample", "Orders", "OrderEntryTest", {}, "", 33, 59, 0, ""},
    // What loading ignores stays too.
    {"IgnoredSectionStays", "Billing", "InvoiceArchive", {}, kSecondLedger, 4, 29, 0, ""},
    {"NameInTwoSections",
     "Billing",
     "LedgerPosting",
     {},
     kSecondLedger,
     0,
     0,
     1,
     "more than one section"},
    {"NoSuchRecord", "Commented", "Nope", {}, "", 0, 0, 3, "no service named \"Nope\""},
    // Only later nodes in their place's number are renumbered.
    {"NamedNodesKeepTheirHeaders",
     "Commented",
     "Gone",
     {},
     kNamedNodes,
     122,
     124,
     0,
     "",
     SampleHeadersAnd({"Weather", "Service_6", "Radar", "Service_8"})},
    {"NumberNotItsPlaceKeepsIt",
     "Commented",
     "Gone",
     {},
     kGappedNodes,
     122,
     124,
     0,
     "",
     SampleHeadersAnd({"Service_6", "Service_8"})},
};

INSTANTIATE_TEST_SUITE_P(Tool, Remove, ::testing::ValuesIn(kRemoveCases), LabelName());

}  // namespace
}  // namespace kestrine::testing
