// `find`: the library's WSDL searches from the command line.
#include "tool_test.h"

namespace kestrine::testing {
namespace {

constexpr char kOrderEntryWsdl[] = "http://erp.example.com/orders/OrderEntry?wsdl";

struct FindCase {
  const char* label;
  std::vector<std::string> options;
  std::string names;  // the output: one name per line
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const FindCase& c, std::ostream* out) { *out << c.label; }

class Find : public ToolTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(Find, PrintsTheMatchesInNameOrder) {
  std::vector<std::string> args{"find", Script("Orders")};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  const ToolResult names = RunTool(args);
  EXPECT_EQ(names.status, 0) << names.err;
  EXPECT_EQ(names.out, GetParam().names);

  // The JSON form holds the same records, in full.
  args.push_back("--json");
  const ToolResult json = RunTool(args);
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json library = LibraryRecords(Script("Orders"));
  std::string listed;
  for (const nlohmann::json& record : nlohmann::json::parse(json.out)) {
    const std::string name = record.at("Name");
    listed += name + "\n";
    EXPECT_EQ(WithSeconds(record), library.at(name));
  }
  EXPECT_EQ(listed, GetParam().names);
}

const FindCase kFindCases[] = {
    {"ByWsdl", {"--wsdl", kOrderEntryWsdl}, "OrderEntry\nOrderEntryTest\n"},
    {"ByWsdlFirst", {"--wsdl", kOrderEntryWsdl, "--first"}, "OrderEntry\n"},
    {"WithName",
     {"--wsdl", kOrderEntryWsdl, "--service-name", "OrderEntryService"},
     "OrderEntry\nOrderEntryTest\n"},
    {"WithOtherName", {"--wsdl", kOrderEntryWsdl, "--service-name", "QuoteService"}, ""},
    {"WithNameEndpoint",
     {"--wsdl", kOrderEntryWsdl, "--service-name", "OrderEntryService", "--endpoint",
      "http://erp-test.example.com/orders/OrderEntry"},
     "OrderEntryTest\n"},
    {"WithNameEndpointFirst",
     {"--wsdl", kOrderEntryWsdl, "--service-name", "OrderEntryService", "--endpoint",
      "http://erp.example.com/orders/OrderEntry", "--first"},
     "OrderEntry\n"},
    {"BackslashesMatchSlashes",
     {"--wsdl", "C:\\Scripts\\Orders\\WSDL\\OrderStatus.wsdl"},
     "OrderStatus\n"},
    {"NoMatch", {"--wsdl", "http://nowhere.example.com/?wsdl"}, ""},
    {"NoMatchFirst", {"--wsdl", "http://nowhere.example.com/?wsdl", "--first"}, ""},
};

INSTANTIATE_TEST_SUITE_P(Tool, Find, ::testing::ValuesIn(kFindCases), LabelName());

}  // namespace
}  // namespace kestrine::testing
