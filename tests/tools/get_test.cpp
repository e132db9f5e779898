// `get`: one field's bare value, or why there is none.
#include "tool_test.h"

namespace kestrine::testing {
namespace {

struct GetCase {
  const char* label;
  const char* name;
  const char* field;
  std::vector<std::string> options;
  int status;
  std::string out;      // the whole of standard output
  const char* err_has;  // in standard error
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const GetCase& c, std::ostream* out) { *out << c.label; }

class Get : public ToolTest, public ::testing::WithParamInterface<GetCase> {};

TEST_P(Get, PrintsTheValueAlone) {
  const GetCase& c = GetParam();
  std::vector<std::string> args{"get", Script("Orders"), c.name, c.field};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const ToolResult result = RunTool(args);
  EXPECT_EQ(result.status, c.status) << result.err;
  EXPECT_EQ(result.out, c.out);
  EXPECT_NE(result.err.find(c.err_has), std::string::npos) << result.err;
}

const GetCase kGetCases[] = {
    {"Text",
     "OrderEntry",
     "ServiceAddress",
     {},
     0,
     "http://erp.example.com/orders/OrderEntry\n",
     ""},
    {"DescriptionWithLineBreaks",
     "ShippingQuote",
     "Description",
     {},
     0,
     "Shipping quotes from the carrier.\r\n\r\nWeights in kilograms, prices in euros.\n",
     ""},
    {"Flag", "OrderEntry", "KeepUpToDate", {}, 0, "1\n", ""},
    {"Number", "OrderStatus", "UDDIVersion", {}, 0, "3\n", ""},
    {"LinkedZrId", "OrderStatus", "ZR_ID", {}, 0, "1187\n", ""},
    {"TimeInSeconds", "OrderEntry", "CreationDate", {}, 0, "1267949102\n", ""},
    {"TimeNeverSet", "OrderEntry", "LastSyncWithWSDLZROrininal", {}, 0, "0\n", ""},
    {"SecretRefused", "OrderEntry", "Password", {}, 1, "", "add --show-secrets"},
    {"SecretShown", "ShippingQuote", "ProxyPassword", {"--show-secrets"}, 0, "pr0xy!pass\n", ""},
    // A group that is off leaves the record without a value.
    {"ProxyOff", "OrderEntry", "ProxyServerName", {}, 3, "", "UseProxy is 0"},
    {"CredentialsOff", "OrderStatus", "UserName", {}, 3, "", "UseSecurity is 0"},
    {"NotUddi", "OrderEntry", "UDDIServer", {}, 3, "", "LocationType is 1"},
    {"NotLinked", "OrderEntry", "ZR_ID", {}, 3, "", "LinkedToZR is 0"},
    {"NoSuchRecord", "Nope", "Name", {}, 3, "", "no service named \"Nope\""},
    {"Misspelt", "OrderEntry", "ServiceAdress", {}, 2, "", "did you mean ServiceAddress?"},
    {"FormerJsonName", "OrderEntry", "UserPassword", {}, 2, "", "did you mean Password?"},
    {"Unknown", "OrderEntry", "Colour", {}, 2, "", "the fields are the keys of a service node"},
};

INSTANTIATE_TEST_SUITE_P(Tool, Get, ::testing::ValuesIn(kGetCases), LabelName());

}  // namespace
}  // namespace kestrine::testing
