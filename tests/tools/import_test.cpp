// `import`: records from JSON added and updated where they stand; what
// `export --show-secrets` prints comes back field by field.
#include <filesystem>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

using ImportTest = ToolTest;

// Into an empty script folder: refused without --create, planned without a
// change by --dry-run, and with --create into a new file, as `add --create`
// makes it.
TEST_F(ImportTest, ExportedRecordsComeBackFieldByField) {
  namespace fs = std::filesystem;
  for (const char* script : {"Commented", "Orders", "Billing"}) {
    const std::string empty = Script(std::string("Empty") + script);
    fs::create_directories(empty);
    const ToolResult exported = RunTool({"export", Script(script), "--show-secrets"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const ToolResult refused = RunTool({"import", empty, "-"}, exported.out);
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.err.find(" - --create"), std::string::npos) << refused.err;
    const ToolResult planned =
        RunTool({"import", empty, "-", "--create", "--dry-run"}, exported.out);
    EXPECT_EQ(planned.status, 0) << planned.err;
    EXPECT_EQ(planned.out.find("update "), std::string::npos) << planned.out;
    EXPECT_FALSE(fs::exists(empty + "/WSDL"));

    const ToolResult imported = RunTool({"import", empty, "-", "--create"}, exported.out);
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, planned.out);
    EXPECT_EQ(fs::status(empty + "/WSDL").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(empty + "/WSDL/web_services.ini").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(LibraryRecords(empty, true), LibraryRecords(Script(script), true)) << script;
    EXPECT_EQ(RunTool({"export", empty, "--show-secrets"}).out, exported.out);
    // Again: nothing is left to change.
    const ToolResult again = RunTool({"import", empty, "-"}, exported.out);
    EXPECT_EQ(again.out.find("add "), std::string::npos) << again.out;
    EXPECT_EQ(again.out.find("update "), std::string::npos) << again.out;
  }
}

struct ImportCase {
  const char* label;
  std::string json;
  std::vector<std::string> options;
  int status;
  std::string out;        // the whole of standard output
  const char* err_has;    // in standard error
  nlohmann::json fields;  // {name: {field: value}} that change, as the library reads them
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const ImportCase& c, std::ostream* out) { *out << c.label; }

class Import : public ToolTest, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(Import, AddsAndUpdatesWhereTheyStand) {
  const ImportCase& c = GetParam();
  const std::string folder = Script("Commented");
  const std::string before = ReadBytes(FileOf("Commented"));
  const nlohmann::json records = LibraryRecords(folder, true);
  const std::string input = scripts_ / "input.json";
  WriteBytes(input, c.json);

  std::vector<std::string> args{"import", folder, input};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const ToolResult import = RunTool(args);
  EXPECT_EQ(import.status, c.status) << import.err;
  EXPECT_EQ(import.out, c.out);
  EXPECT_NE(import.err.find(c.err_has), std::string::npos) << import.err;
  const std::string after = ReadBytes(FileOf("Commented"));
  if (c.status != 0 || c.fields.empty()) {
    EXPECT_EQ(after, before);
    return;
  }

  // The sections of the records not named stay; new ones come after them,
  // each after an empty line.
  std::vector<std::string> old_sections = Sections(before);
  const std::vector<std::string> new_sections = Sections(after);
  bool added = false;
  for (const auto& change : c.fields.items()) added = added || !records.contains(change.key());
  if (added) old_sections.back() += "\n";
  for (std::size_t i = 0; i < old_sections.size(); ++i) {
    bool named = false;
    for (const auto& change : c.fields.items()) {
      named = named || SectionNamed(old_sections, change.key()) == i;
    }
    if (!named) {
      EXPECT_EQ(new_sections.at(i), old_sections[i]) << i;
    }
  }
  nlohmann::json loaded = LibraryRecords(folder, true);
  nlohmann::json expected = Changed(records, c.fields);
  for (const auto& change : c.fields.items()) {
    if (records.contains(change.key())) continue;
    // A new record: the fields given, the others as add makes them.
    for (const auto& field : change.value().items()) {
      EXPECT_EQ(loaded.at(change.key()).at(field.key()), field.value()) << field.key();
    }
    loaded.erase(change.key());
    expected.erase(change.key());
  }
  EXPECT_EQ(loaded, expected);
  EXPECT_EQ(RunTool({"check", folder}).status, 0);
}

const std::string kUpdateAndAdd =
    R"([{"Name": "Stock", "ServiceAddress": "https://stock2.example.net", "UseProxy": false},
        {"Name": "Brand", "WSDLLocation": "C:\\wsdl\\brand.wsdl", "KeepUpToDate": true}])";

const ImportCase kImportCases[] = {
    {"UpdateAndAdd",
     kUpdateAndAdd,
     {},
     0,
     "update Stock: ServiceAddress, UseProxy, ProxyUserName, ProxyServerName, ProxyPortNumber, "
     "ProxyPassword\nadd Brand\n",
     "",
     {{"Stock",
       {{"ServiceAddress", "https://stock2.example.net"},
        {"UseProxy", false},
        {"ProxyUserName", ""},
        {"ProxyServerName", ""},
        {"ProxyPortNumber", ""},
        {"ProxyPassword", ""}}},
      {"Brand", {{"WSDLLocation", "C:/wsdl/brand.wsdl"}, {"KeepUpToDate", true}}}}},
    {"DryRunChangesNothing",
     kUpdateAndAdd,
     {"--dry-run"},
     0,
     "update Stock: ServiceAddress, UseProxy, ProxyUserName, ProxyServerName, ProxyPortNumber, "
     "ProxyPassword\nadd Brand\n",
     "",
     nullptr},
    {"SameValuesChangeNothing",
     R"([{"Name": "Stock", "KeepUpToDate": true}])",
     {},
     0,
     "unchanged Stock\n",
     "",
     nullptr},
    {"SecretAndTimes",
     R"([{"Name": "Payments", "Password": "n3w",
          "CreationDate": {"local": "2015-01-01T14:00:00+14:00"}, "LastSyncWithWSDL": 1400000000,
          "LastSyncWithWSDLZROrininal": {"local": null, "seconds": 0}}])",
     {},
     0,
     "update Payments: CreationDate, LastSyncWithWSDL, LastSyncWithWSDLZROrininal, Password\n",
     "",
     {{"Payments",
       {{"Password", "n3w"},
        {"CreationDate", 1420070400},
        {"LastSyncWithWSDL", 1400000000},
        {"LastSyncWithWSDLZROrininal", 0}}}}},
    // Refused before anything changes.
    {"MaskedPassword",
     R"([{"Name": "Brand"}, {"Name": "Payments", "Password": "********"}])",
     {},
     1,
     "",
     "record 2: Password is the mask",
     nullptr},
    {"UnknownKey",
     R"([{"Name": "Stock", "ServiceAdress": "x"}])",
     {},
     1,
     "",
     "did you mean ServiceAddress?",
     nullptr},
    {"WrongType",
     R"([{"Name": "Stock", "KeepUpToDate": "yes"}])",
     {},
     1,
     "",
     "KeepUpToDate must be true or false",
     nullptr},
    {"NumberOutOfRange",
     R"([{"Name": "Stock", "ZR_ID": 2147483648}])",
     {},
     1,
     "",
     "ZR_ID must be a whole number of 32 bits",
     nullptr},
    {"NumberBeyondADouble",
     R"([{"Name": "Brand"}, {"Name": "Stock", "ZR_ID": 1e999}])",
     {},
     1,
     "",
     "input.json: record 2: ZR_ID is a number out of range",
     nullptr},
    {"KeyTwice",
     R"([{"Name": "Stock", "CreationDate": {"seconds": 1, "local": null, "seconds": 2}}])",
     {},
     1,
     "",
     "input.json: record 1: CreationDate: key \"seconds\" appears twice",
     nullptr},
    {"OffsetBeyond14Hours",
     R"([{"Name": "Stock", "CreationDate": {"local": "2015-01-01T00:00:00-14:01"}}])",
     {},
     1,
     "",
     "offset within -14:00 to +14:00",
     nullptr},
    {"TimesDisagree",
     R"([{"Name": "Stock", "CreationDate": {"local": "2014-01-15T10:30:00+01:00", "seconds": 5}}])",
     {},
     1,
     "",
     "name different times",
     nullptr},
    {"NameTwice",
     R"([{"Name": "Brand"}, {"Name": "Brand"}])",
     {},
     1,
     "",
     "records 1 and 2 both name \"Brand\"",
     nullptr},
    {"NoName", R"([{"ServiceAddress": "x"}])", {}, 1, "", "record 1 has no Name", nullptr},
    {"NotAnArray", R"({"Name": "Stock"})", {}, 1, "", "must hold a JSON array", nullptr},
    {"NotJson", "[{", {}, 1, "", "is not JSON", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Tool, Import, ::testing::ValuesIn(kImportCases), LabelName());

}  // namespace
}  // namespace kestrine::testing
