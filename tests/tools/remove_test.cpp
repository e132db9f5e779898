// `remove`: one record goes, every other record stays exactly as loaded.
#include <algorithm>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

struct RemoveCase {
  const char* script;
  const char* name;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const RemoveCase& c, std::ostream* out) { *out << c.script << " " << c.name; }

class Remove : public ToolTest, public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(Remove, KeepsEveryOtherRecordEqual) {
  const std::string folder = Script(GetParam().script);
  nlohmann::json expected = LibraryRecords(folder, true);
  ASSERT_TRUE(expected.contains(GetParam().name));
  expected.erase(GetParam().name);

  const ToolResult remove = RunTool({"remove", folder, GetParam().name});
  ASSERT_EQ(remove.status, 0) << remove.err;
  EXPECT_TRUE(remove.out.empty());
  // The samples' comments do not survive the rewrite; the tool says so.
  EXPECT_NE(remove.err.find("comments"), std::string::npos) << remove.err;

  EXPECT_EQ(LibraryRecords(folder, true), expected);
  EXPECT_EQ(RunTool({"check", folder}).status, 0);
  EXPECT_EQ(RunTool({"show", folder, GetParam().name}).status, 3);
}

const RemoveCase kRemoveCases[] = {
    {"Orders", "OrderEntry"},    {"Orders", "OrderEntryTest"},  {"Orders", "OrderStatus"},
    {"Orders", "ShippingQuote"}, {"Billing", "InvoiceArchive"}, {"Billing", "LedgerPosting"},
};

INSTANTIATE_TEST_SUITE_P(Tool, Remove, ::testing::ValuesIn(kRemoveCases), [](const auto& test) {
  return std::string(test.param.script) + "_" + test.param.name;
});

using RemoveTest = ToolTest;

TEST_F(RemoveTest, DropsIgnoredSectionsOnlyWhenForced) {
  // A second node of a held name: loading ignores it, a rewrite would drop it.
  const std::string sample = ReadBytes(FileOf("Billing"));
  const std::string file = sample + "\n[Services\\Service_3]\nName=LedgerPosting\n";
  WriteBytes(FileOf("Billing"), file);
  const auto line = std::count(sample.begin(), sample.end(), '\n') + 2;  // the appended header

  const ToolResult refused = RunTool({"remove", Script("Billing"), "InvoiceArchive"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("line(s) " + std::to_string(line)), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("--force"), std::string::npos);
  EXPECT_EQ(ReadBytes(FileOf("Billing")), file);

  const nlohmann::json ledger = LibraryRecords(Script("Billing"), true).at("LedgerPosting");
  const ToolResult forced = RunTool({"remove", Script("Billing"), "InvoiceArchive", "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(LibraryRecords(Script("Billing"), true), (nlohmann::json{{"LedgerPosting", ledger}}));
  EXPECT_EQ(RunTool({"check", Script("Billing")}).status, 0);
}

}  // namespace
}  // namespace kestrine::testing
