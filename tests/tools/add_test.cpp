// `add`: records built from options and standard input, appended through the
// library, read back with `show` and with the library.
#include <ctime>
#include <filesystem>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

std::vector<std::string> AddArgs(const std::string& folder, const std::string& name,
                                 std::vector<std::string> options) {
  std::vector<std::string> args{"add", folder, "--name", name, "--wsdl", "C:\\wsdl\\new.wsdl"};
  args.insert(args.end(), options.begin(), options.end());
  return args;
}

nlohmann::json ShowJson(const std::string& folder, const std::string& name) {
  const ToolResult show = RunTool({"show", folder, name, "--json", "--show-secrets"});
  EXPECT_EQ(show.status, 0) << show.err;
  return show.status == 0 ? WithSeconds(nlohmann::json::parse(show.out)) : nlohmann::json();
}

using AddTest = ToolTest;

TEST_F(AddTest, RoundTripOfEveryOption) {
  const nlohmann::json before = LibraryRecords(Script("Orders"), true);
  const long started = static_cast<long>(std::time(nullptr));
  const ToolResult add = RunTool(AddArgs(Script("Orders"), "Payments",
                                         {"--service-name",
                                          "PaymentService",
                                          "--endpoint",
                                          "http://pay.example.com/p",
                                          "--description",
                                          "two\r\nlines",
                                          "--uddi-server",
                                          "http://uddi",
                                          "--uddi-version",
                                          "2",
                                          "--uddi-key",
                                          "uddi:pay",
                                          "--proxy-server",
                                          "proxy",
                                          "--proxy-port",
                                          "8080",
                                          "--proxy-user",
                                          "pu",
                                          "--proxy-password-stdin",
                                          "--user",
                                          "payer",
                                          "--password-stdin",
                                          "--jms-request-queue",
                                          "REQ",
                                          "--jms-response-queue",
                                          "RSP",
                                          "--keep-up-to-date",
                                          "--override-address",
                                          "--zr-id",
                                          "77"}),
                                 "s3cret;#=\r\npr0xy\n");
  ASSERT_EQ(add.status, 0) << add.err;
  EXPECT_EQ(add.out, "5\n");  // after the four sample services

  nlohmann::json record = ShowJson(Script("Orders"), "Payments");
  EXPECT_FALSE(record.value("CreatedBy", "").empty());
  const long created = record.value("CreationDate", 0L);
  EXPECT_GE(created, started);
  EXPECT_LE(created, static_cast<long>(std::time(nullptr)));
  EXPECT_EQ(record.value("LastSyncWithWSDL", 0L), created);
  for (const char* stamped : {"CreatedBy", "CreationDate", "LastSyncWithWSDL"})
    record.erase(stamped);
  // A new record's fields, with those the options give.
  nlohmann::json expected = LibraryView(CService(), true);
  for (const char* stamped : {"CreatedBy", "CreationDate", "LastSyncWithWSDL"})
    expected.erase(stamped);
  expected.update({{"Name", "Payments"},
                   {"WSDLLocation", "C:/wsdl/new.wsdl"},
                   {"ServiceName", "PaymentService"},
                   {"ServiceAddress", "http://pay.example.com/p"},
                   {"LocationType", 2},
                   {"UDDIServer", "http://uddi"},
                   {"UDDIVersion", 2},
                   {"UDDIServiceKey", "uddi:pay"},
                   {"LinkedToZR", true},
                   {"ZR_ID", 77},
                   {"Description", "two\r\nlines"},
                   {"LastSyncWithWSDLZROrininal", 0},
                   {"KeepUpToDate", true},
                   {"OverrideServiceAddress", true},
                   {"UseSecurity", true},
                   {"UserName", "payer"},
                   {"Password", "s3cret;#="},
                   {"UseProxy", true},
                   {"ProxyServerName", "proxy"},
                   {"ProxyPortNumber", "8080"},
                   {"ProxyUserName", "pu"},
                   {"ProxyPassword", "pr0xy"},
                   {"UseJmsTransport", true},
                   {"JmsRequestQueue", "REQ"},
                   {"JmsResponseQueue", "RSP"}});
  EXPECT_EQ(record, expected);

  // The library reads the same record, and the others as they were.
  nlohmann::json after = LibraryRecords(Script("Orders"), true);
  EXPECT_EQ(WithSeconds(after.at("Payments")), ShowJson(Script("Orders"), "Payments"));
  after.erase("Payments");
  EXPECT_EQ(after, before);
  EXPECT_EQ(RunTool({"check", Script("Orders")}).status, 0);
}

struct ImpliedCase {
  const char* label;
  std::vector<std::string> options;
  nlohmann::json fields;  // fields of the new record that must hold these values
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const ImpliedCase& c, std::ostream* out) { *out << c.label; }

class AddImplies : public ToolTest, public ::testing::WithParamInterface<ImpliedCase> {};

TEST_P(AddImplies, OptionsSetTheirFlags) {
  const ToolResult add = RunTool(AddArgs(Script("Billing"), "New", GetParam().options), "pw\n");
  ASSERT_EQ(add.status, 0) << add.err;
  EXPECT_EQ(add.out, "3\n");
  const nlohmann::json record = ShowJson(Script("Billing"), "New");
  for (const auto& field : GetParam().fields.items()) {
    EXPECT_EQ(record.at(field.key()), field.value()) << field.key();
  }
}

const ImpliedCase kImpliedCases[] = {
    {"Nothing",
     {},
     {{"LocationType", -1},
      {"UDDIVersion", -1},
      {"LinkedToZR", false},
      {"ZR_ID", -1},
      {"KeepUpToDate", false},
      {"OverrideServiceAddress", false},
      {"UseProxy", false},
      {"UseSecurity", false},
      {"UseJmsTransport", false}}},
    {"LocationType", {"--location-type", "0"}, {{"LocationType", 0}}},
    {"UddiKeyMeansUddi", {"--uddi-key", "k"}, {{"LocationType", 2}, {"UDDIServiceKey", "k"}}},
    {"UddiWithItsType",
     {"--uddi-version", "3", "--location-type", "2"},
     {{"LocationType", 2}, {"UDDIVersion", 3}}},
    {"ProxyPortUsesProxy",
     {"--proxy-port", "3128"},
     {{"UseProxy", true}, {"ProxyPortNumber", "3128"}, {"UseSecurity", false}}},
    {"ProxyPasswordUsesProxy",
     {"--proxy-password-stdin"},
     {{"UseProxy", true}, {"ProxyPassword", "pw"}, {"Password", ""}}},
    {"UserUsesCredentials", {"--user", "u"}, {{"UseSecurity", true}, {"UserName", "u"}}},
    {"PasswordUsesCredentials",
     {"--password-stdin"},
     {{"UseSecurity", true}, {"Password", "pw"}, {"UseProxy", false}}},
    {"QueueUsesJms",
     {"--jms-response-queue", "Q"},
     {{"UseJmsTransport", true}, {"JmsResponseQueue", "Q"}, {"JmsRequestQueue", ""}}},
    {"ZrIdLinks", {"--zr-id", "0"}, {{"LinkedToZR", true}, {"ZR_ID", 0}}},
};

INSTANTIATE_TEST_SUITE_P(Tool, AddImplies, ::testing::ValuesIn(kImpliedCases), LabelName());

struct RefusedCase {
  const char* label;
  const char* name;
  std::vector<std::string> options;
  std::string input;
  const char* err_has;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.label; }

class AddRefuses : public ToolTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(AddRefuses, LeavesTheFileAsItWas) {
  const std::string before = ReadBytes(FileOf("Orders"));
  const ToolResult add =
      RunTool(AddArgs(Script("Orders"), GetParam().name, GetParam().options), GetParam().input);
  EXPECT_EQ(add.status, 1);
  EXPECT_NE(add.err.find(GetParam().err_has), std::string::npos) << add.err;
  EXPECT_EQ(ReadBytes(FileOf("Orders")), before);
}

const RefusedCase kRefusedCases[] = {
    {"NoPasswordOnInput", "New", {"--password-stdin"}, "", "password"},
    {"NoProxyPasswordOnInput",
     "New",
     {"--password-stdin", "--proxy-password-stdin"},
     "only\n",
     "proxy password"},
    {"NulInPassword", "New", {"--password-stdin"}, std::string("a\0b\n", 4), "NUL"},
    // Loading would ignore a second node of the name.
    {"HeldName", "OrderEntry", {}, "", "already holds a service named \"OrderEntry\""},
};

INSTANTIATE_TEST_SUITE_P(Tool, AddRefuses, ::testing::ValuesIn(kRefusedCases), LabelName());

TEST_F(AddTest, CreateMakesTheWsdlFolderAndFile) {
  const std::string folder = Script("Fresh");
  std::filesystem::create_directory(folder);
  const ToolResult add = RunTool(AddArgs(folder, "First", {"--create"}));
  ASSERT_EQ(add.status, 0) << add.err;
  EXPECT_EQ(add.out, "1\n");
  EXPECT_EQ(RunTool({"list", folder}).out, "First\n");
  EXPECT_EQ(RunTool({"check", folder}).status, 0);

  // With a file in place, --create changes nothing but the appended record.
  const ToolResult second = RunTool(AddArgs(folder, "Second", {"--create"}));
  EXPECT_EQ(second.out, "2\n");
  EXPECT_EQ(RunTool({"list", folder}).out, "First\nSecond\n");

  // The script folder itself is never created.
  const ToolResult missing = RunTool(AddArgs(Script("Nowhere"), "First", {"--create"}));
  EXPECT_EQ(missing.status, 3);
  EXPECT_FALSE(std::filesystem::exists(Script("Nowhere")));
}

}  // namespace
}  // namespace kestrine::testing
