// `list` and `show`: names, records as text and as JSON, compared with what
// the library loads from the same file.
#include <algorithm>
#include <filesystem>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  for (std::size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
    lines.push_back(text.substr(begin, end - begin));
  }
  return lines;
}

using ListShowTest = ToolTest;

TEST_F(ListShowTest, ListPrintsTheLoadedNamesInOrder) {
  for (const char* script : {"Orders", "Billing"}) {
    const ToolResult result = RunTool({"list", Script(script)});
    ASSERT_EQ(result.status, 0) << result.err;
    CServiceRepositoryLight repository;
    ASSERT_EQ(repository.LoadDataFromScript(Script(script).c_str()), 0);
    std::vector<std::string> expected;
    repository.GetServiceNames(&expected);
    EXPECT_EQ(SplitLines(result.out), expected) << script;
  }
}

TEST_F(ListShowTest, JsonRecordsEqualTheLibrarysView) {
  for (const bool secrets : {false, true}) {
    for (const char* script : {"Orders", "Billing"}) {
      std::vector<std::string> args{"list", Script(script), "--json"};
      if (secrets) args.push_back("--show-secrets");
      const ToolResult list = RunTool(args);
      ASSERT_EQ(list.status, 0) << list.err;
      const nlohmann::json expected = LibraryRecords(Script(script), secrets);
      EXPECT_EQ(ByName(nlohmann::json::parse(list.out)), expected) << script;
      args[0] = "export";
      args.erase(args.begin() + 2);  // --json
      const ToolResult exported = RunTool(args);
      EXPECT_EQ(exported.status, 0) << exported.err;
      EXPECT_EQ(exported.out, list.out) << "export prints what list --json prints";

      for (const auto& record : expected.items()) {
        args = {"show", Script(script), record.key(), "--json"};
        if (secrets) args.push_back("--show-secrets");
        const ToolResult show = RunTool(args);
        ASSERT_EQ(show.status, 0) << show.err;
        EXPECT_EQ(WithSeconds(nlohmann::json::parse(show.out)), record.value());
      }
    }
  }
}

TEST_F(ListShowTest, ReadersWarnOfSectionsThatLoadingIgnores) {
  // A second node of a held name: loading ignores it.
  const std::string sample = ReadBytes(FileOf("Billing"));
  WriteBytes(FileOf("Billing"), sample + "\n[Services\\Service_3]\nName=LedgerPosting\n");
  const auto line = std::count(sample.begin(), sample.end(), '\n') + 2;
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"list", Script("Billing")},
                                             {"show", Script("Billing"), "LedgerPosting"},
                                             {"get", Script("Billing"), "LedgerPosting", "Name"},
                                             {"export", Script("Billing")},
                                             {"find", Script("Billing"), "--wsdl", "x"}}) {
    const ToolResult result = RunTool(args);
    EXPECT_EQ(result.status, 0) << args[0] << ": " << result.err;
    EXPECT_NE(result.err.find("warning: loading ignored 1 section(s) of " + FileOf("Billing") +
                              " at line(s) " + std::to_string(line)),
              std::string::npos)
        << args[0] << ": " << result.err;
    EXPECT_NE(result.err.find("kestrine check " + Script("Billing")), std::string::npos);
  }
  EXPECT_TRUE(RunTool({"list", Script("Orders")}).err.empty()) << "no warning for a clean file";
}

TEST_F(ListShowTest, CommandsRefuseUtf16FilesSayingHowToConvertThem) {
  // "[Services]" and a line ending, as Notepad saves "Unicode" text.
  const std::string utf16("\xFF\xFE[\0S\0e\0r\0v\0i\0c\0e\0s\0]\0\r\0\n\0", 26);
  WriteBytes(FileOf("Billing"), utf16);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"list", Script("Billing")},
           {"show", Script("Billing"), "LedgerPosting"},
           {"export", Script("Billing")},
           {"add", Script("Billing"), "--name", "n", "--wsdl", "w"},
           {"set", Script("Billing"), "LedgerPosting", "--wsdl", "w"},
           {"remove", Script("Billing"), "LedgerPosting"}}) {
    const ToolResult result = RunTool(args);
    EXPECT_EQ(result.status, 3) << args[0];
    EXPECT_NE(result.err.find(FileOf("Billing") + ", line 1: the file is UTF-16 text"),
              std::string::npos)
        << args[0] << ": " << result.err;
    EXPECT_NE(result.err.find("iconv -f UTF-16 -t UTF-8"), std::string::npos) << args[0];
  }
  EXPECT_EQ(ReadBytes(FileOf("Billing")), utf16);
}

struct TimeCase {
  const char* name;
  const char* field;
  nlohmann::json local;
  long seconds;
};

TEST_F(ListShowTest, TimesAreLocalIso8601AndSeconds) {
  const TimeCase cases[] = {
      {"OrderEntry", "CreationDate", "2010-03-07T09:05:02+01:00", 1267949102},
      {"OrderEntry", "LastSyncWithWSDL", "2010-06-14T16:30:00+02:00", 1276525800},
      {"OrderEntry", "LastSyncWithWSDLZROrininal", nullptr, 0},
      {"OrderStatus", "LastSyncWithWSDLZROrininal", "2011-07-29T17:20:44+02:00", 1311952844},
  };
  for (const TimeCase& c : cases) {
    const ToolResult result = RunTool({"show", Script("Orders"), c.name, "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json time = nlohmann::json::parse(result.out).at(c.field);
    EXPECT_EQ(time, (nlohmann::json{{"local", c.local}, {"seconds", c.seconds}}))
        << c.name << ' ' << c.field;
  }
}

// The samples leave a time never set empty, so that it reads as 0 in every
// zone: the form a writer gives it, its own zone's local time of 0, reads
// as 0 only in that writer's zone.
TEST_F(ListShowTest, SamplesTimesNeverSetReadAsZeroEverywhere) {
  for (const char* script : {"Orders", "Billing"}) {
    const nlohmann::json central_europe = LibraryRecords(Script(script));
    for (const char* zone : {"UTC0", "EST5EDT,M3.2.0,M11.1.0", "JST-9"}) {
      ScopedTimeZone scoped(zone);
      const nlohmann::json elsewhere = LibraryRecords(Script(script));
      for (const auto& record : central_europe.items()) {
        for (const char* field :
             {"CreationDate", "LastSyncWithWSDL", "LastSyncWithWSDLZROrininal"}) {
          if (record.value().at(field) != 0) continue;
          EXPECT_EQ(elsewhere.at(record.key()).at(field), 0)
              << script << ' ' << record.key() << ' ' << field << " in " << zone;
        }
      }
    }
  }
}

TEST_F(ListShowTest, TextShowsAlignedFieldsWithPasswordsHidden) {
  // Values start in one column, after the longest key.
  const auto line = [](const std::string& key, const std::string& value) {
    const std::string head = key + ":";
    return value.empty() ? head : head + std::string(28 - head.size(), ' ') + value;
  };
  const ToolResult hidden = RunTool({"show", Script("Orders"), "ShippingQuote"});
  ASSERT_EQ(hidden.status, 0) << hidden.err;
  const std::vector<std::string> lines = SplitLines(hidden.out);
  for (const std::string& expected : {
           line("Name", "ShippingQuote"),
           line("LocationType", "1"),
           line("Description", "Shipping quotes from the carrier."),
           std::string(),
           std::string(28, ' ') + "Weights in kilograms, prices in euros.",
           line("CreationDate", "2012-05-02T14:03:09+02:00 (1335960189)"),
           line("LastSyncWithWSDLZROrininal", "none (0)"),
           line("UseProxy", "true"),
           line("Password", "********"),
           line("ProxyPassword", "********"),
           line("JmsRequestQueue", ""),
       }) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
  }
  EXPECT_EQ(lines.front(), line("LinkedToZR", "false")) << "the fields come in the file's order";
  EXPECT_EQ(hidden.out.find("quote-key-7781"), std::string::npos);
  EXPECT_EQ(hidden.out.find("pr0xy!pass"), std::string::npos);

  const ToolResult shown = RunTool({"show", Script("Orders"), "ShippingQuote", "--show-secrets"});
  EXPECT_NE(shown.out.find(line("Password", "quote-key-7781") + "\n"), std::string::npos);
  EXPECT_NE(shown.out.find(line("ProxyPassword", "pr0xy!pass") + "\n"), std::string::npos);

  // An empty password has nothing to hide.
  const ToolResult empty = RunTool({"show", Script("Orders"), "OrderStatus"});
  EXPECT_NE(empty.out.find("\nPassword:\n"), std::string::npos);
}

TEST_F(ListShowTest, ArbitraryBytesStaySafe) {
  // A name with an escape byte, a description that is not UTF-8.
  WriteBytes(FileOf("Orders"),
             "[Services]\n[Services\\Service_1]\nName=\"bad\\x1Bname\"\n"
             "Description=caf\xE9 \xFF\n");
  const ToolResult list = RunTool({"list", Script("Orders")});
  EXPECT_EQ(list.out, "bad\\x1Bname\n");

  // JSON replaces nothing: the text that is not UTF-8 is named instead.
  const ToolResult json = RunTool({"list", Script("Orders"), "--json"});
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.err.find("service \"bad\\x1Bname\": Description is not valid utf-8"),
            std::string::npos)
      << json.err;

  const ToolResult text = RunTool({"show", Script("Orders"), "bad\x1Bname"});
  EXPECT_NE(text.out.find("Name:" + std::string(23, ' ') + "bad\\x1Bname\n"), std::string::npos);

  // C1 controls, as UTF-8 and as a raw CSI byte, are escaped; a character
  // whose encoding holds such a byte (U+011B, C4 9B) is not. A backslash
  // is, so that a TAB and the text \x09 print differently.
  WriteBytes(
      FileOf("Orders"),
      "[Services]\n[Services\\Service_1]\nName=c1 \xC2\x9B raw \x9B keep \xC4\x9B\n"
      "[Services\\Service_2]\nName=\"tab\\x09\"\n[Services\\Service_3]\nName=\"tab\\\\x09\"\n");
  EXPECT_EQ(RunTool({"list", Script("Orders")}).out,
            "c1 \\xC2\\x9B raw \\x9B keep \xC4\x9B\ntab\\x09\ntab\\\\x09\n");

  // Folder and record names in messages, notes and --dry-run lines.
  const std::string folder = Script("Or\tders\x1B");
  std::filesystem::rename(Script("Orders"), folder);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"list", folder + "/WSDL"},
           {"show", folder, "nope\t"},
           {"remove", folder, "nope\x1B"},
           {"add", folder, "--name", "tab\t", "--wsdl", "w"},
           {"check", folder},
           {"set", "--under", scripts_.path(), "--match-name", "tab*", "--endpoint", "e2",
            "--dry-run"},
           {"set", "--under", scripts_.path(), "--match-name", "tab*", "--endpoint", "e2"}}) {
    const ToolResult result = RunTool(args);
    for (const std::string& output : {result.out, result.err}) {
      EXPECT_EQ(
          std::count_if(output.begin(), output.end(),
                        [](char c) { return (c >= 0 && c < 0x20 && c != '\n') || c == 0x7F; }),
          0)
          << args[0] << ": " << output;
    }
    EXPECT_NE((result.out + result.err).find("Or\\x09ders\\x1B"), std::string::npos)
        << args[0] << ": " << result.out << result.err;
  }
}

}  // namespace
}  // namespace kestrine::testing
