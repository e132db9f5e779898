// Many scripts: `scan`, `find --under`, `set --under`, `check --under` and
// `export --under` on one small tree with nested script folders, a link out
// of the tree, a malformed services file, a WSDL folder without one, and what
// an attacker would plant: a WSDL link to another user's private folder and
// folders named with backslashes.
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "other_user.h"
#include "tool_test.h"

namespace kestrine::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kOrderEntryWsdl[] = "http://erp.example.com/orders/OrderEntry?wsdl";

class ManyScripts : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    fs::create_directories(Tree() + "/team");
    fs::copy(Script("Orders"), Tree() + "/Orders", fs::copy_options::recursive);
    fs::copy(Script("Billing"), Tree() + "/team/Billing", fs::copy_options::recursive);
    fs::create_directories(Tree() + "/team/broken/WSDL");
    WriteBytes(Tree() + "/team/broken/WSDL/web_services.ini", "[Services]\n\n[Services\\S\n");
    fs::create_directories(Tree() + "/empty/WSDL");
    // Out of the tree: followed, it would find Orders and Billing again.
    fs::create_directory_symlink(scripts_.path(), Tree() + "/link");
    // A services file that is a link, in a WSDL folder: found (loading
    // decides whether to follow it).
    fs::create_directories(Tree() + "/linked/WSDL");
    fs::create_symlink(Script("Billing") + "/WSDL/web_services.ini",
                       Tree() + "/linked/WSDL/web_services.ini");
    // Followed, this WSDL link would show another user's password.
    const std::string private_folder = scripts_.path() + "/private";
    fs::create_directory(private_folder);
    WriteBytes(
        private_folder + "/web_services.ini",
        "[Services]\n\n[Services\\Service_1]\nName=Secret\nUseSecurity=1\nPassword=hunter2\n");
    if (::geteuid() == 0) {  // the tests run as root; "nobody" owns it
      ASSERT_EQ(::chown((private_folder + "/web_services.ini").c_str(), 65534, 65534), 0);
      ASSERT_EQ(::chown(private_folder.c_str(), 65534, 65534), 0);
    }
    fs::permissions(private_folder, fs::perms::owner_all);
    fs::create_directory(Tree() + "/snoop");
    fs::create_directory_symlink(private_folder, Tree() + "/snoop/WSDL");
    // The library reads a backslash as a separator: handed these folders, it
    // would work on the script beside the tree, and on x/y a second time.
    fs::create_directory(Tree() + "/..\\outside");
    fs::copy(Script("Orders"), scripts_.path() + "/outside", fs::copy_options::recursive);
    fs::create_directories(Tree() + "/x/y");
    fs::copy(Script("Orders"), Tree() + "/x/y", fs::copy_options::recursive);
    fs::copy(Script("Orders"), Tree() + "/x\\y", fs::copy_options::recursive);
  }
  std::string Tree() const { return scripts_.path() + "/tree"; }
};

struct TreeCase {
  const char* label;
  std::vector<std::string> args;  // after the command's name; TREE stands for the root
  int status;
  std::string out;  // TREE stands for the root
  const char* err_has;
};

void PrintTo(const TreeCase& c, std::ostream* out) { *out << c.label; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Expand(std::string text, const std::string& tree) {
  for (std::size_t at; (at = text.find("TREE")) != std::string::npos;) text.replace(at, 4, tree);
  return text;
}

class TreeCommands : public ManyScripts, public ::testing::WithParamInterface<TreeCase> {};

TEST_P(TreeCommands, Run) {
  const TreeCase& test = GetParam();
  std::vector<std::string> args;
  for (const std::string& arg : test.args) args.push_back(Expand(arg, Tree()));
  const ToolResult result = RunTool(args);
  EXPECT_EQ(result.status, test.status) << result.err;
  EXPECT_EQ(result.out, Expand(test.out, Tree()));
  EXPECT_NE(result.err.find(Expand(test.err_has, Tree())), std::string::npos) << result.err;
}

const char kBroken[] = "TREE/team/broken/WSDL/web_services.ini:3: header without closing ']'";
const char kBackslash[] = "': a folder name with a backslash cannot be named to the library\n";

const char kBrokenLine[] =
    "TREE/team/broken/WSDL/web_services.ini:3: header without closing ']' (only a comment may "
    "follow it)\n";

const TreeCase kTreeCases[] = {
    {"Scan",
     {"scan", "TREE"},
     1,
     "TREE/Orders\t4 services\n"
     "TREE/linked\t2 services\n"
     "TREE/team/Billing\t2 services\n"
     "TREE/team/broken\tcannot load "
     "TREE/team/broken/WSDL/web_services.ini:3: header without closing ']' (only a comment may "
     "follow it) (status 3)\n"
     "TREE/x/y\t4 services\n",
     "kestrine: skipped 'TREE/..\\\\outside': a folder name with a backslash"},
    {"FindByWsdl",
     {"find", "--under", "TREE", "--wsdl", kOrderEntryWsdl},
     1,
     "TREE/Orders\tOrderEntry\nTREE/Orders\tOrderEntryTest\n"
     "TREE/x/y\tOrderEntry\nTREE/x/y\tOrderEntryTest\n",
     kBroken},
    {"FindFollowsNoWsdlLink",
     {"find", "--under", "TREE", "--name", "Secret", "--json", "--show-secrets"},
     1,
     "[]\n",
     "skipped 'TREE/x\\\\y'"},
    {"FindByEndpoint",
     {"find", "--under", "TREE/Orders", "--endpoint", "http://erp.example.com/orders/OrderEntry"},
     0,
     "TREE/Orders\tOrderEntry\n",
     ""},
    {"FindByNamePattern",
     {"find", "--under", "TREE/Orders", "--name", "Order*Test"},
     0,
     "TREE/Orders\tOrderEntryTest\n",
     ""},
    {"FindSynonymsOfMatch",
     {"find", "--under", "TREE/Orders", "--match-name", "Order*Test", "--match-service-name",
      "OrderEntryService"},
     0,
     "TREE/Orders\tOrderEntryTest\n",
     ""},
    {"FindSkipsLinksAloud",
     {"find", "--under", "TREE", "--name", "*Quote"},
     1,
     "TREE/Orders\tShippingQuote\nTREE/x/y\tShippingQuote\n",
     "skipped TREE/link: a symbolic link to a folder is not followed"},
    {"CheckUnder",
     {"check", "--under", "TREE"},
     1,
     kBrokenLine,
     "checked 5 files, 1 with problems, 1 problem found\nkestrine: incomplete results: 4 "
     "folders skipped"},
    {"CheckUnderJson",
     {"check", "--under", "TREE/team", "--json"},
     1,
     "{\"file\":\"TREE/team/broken/WSDL/web_services.ini\",\"line\":3,\"kind\":"
     "\"unparsable\",\"message\":\"header without closing ']' (only a comment may follow it)\"}\n",
     "checked 2 files, 1 with problems, 1 problem found\n"},
    {"CheckUnderClean", {"check", "--under", "TREE/Orders"}, 0, "", "checked 1 file, 0 with"},
    {"CheckUnderSelects",
     {"check", "--under", "TREE/team", "--match-name", "Nothing"},
     1,
     kBrokenLine,  // what does not load cannot be judged
     "checked 1 file"},
    {"FindNeedsACriterion", {"find", "--under", "TREE"}, 2, "", "say what to find"},
    {"FindUnderMissingRoot", {"find", "--under", "TREE/none", "--name", "*"}, 3, "", "no folder"},
};

INSTANTIATE_TEST_SUITE_P(Tree, TreeCommands, ::testing::ValuesIn(kTreeCases), LabelName());

// More folders than the threads keep loaded at once: handed on in walk order
// all the same, whichever thread loaded each.
TEST_F(ManyScripts, LoadsComeInWalkOrder) {
  const std::string root = scripts_.path() + "/many";
  std::string expected;
  for (int i = 0; i < 60; ++i) {
    const std::string folder =
        root + "/g" + std::to_string(i / 20) + "/s" + std::to_string(i % 20 + 10);
    fs::create_directories(folder);
    fs::copy(Script(i % 3 == 0 ? "Orders" : "Billing"), folder, fs::copy_options::recursive);
    expected += folder + (i % 3 == 0 ? "\t4 services\n" : "\t2 services\n");
  }
  for (const char* jobs : {"1", "3"}) {
    const ToolResult result = RunTool({"scan", root, "--jobs", jobs});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, expected) << jobs;
  }
}

TEST_F(ManyScripts, ExportUnderPrintsOneLinePerService) {
  const ToolResult result = RunTool({"export", "--under", Tree(), "--match-wsdl", kOrderEntryWsdl});
  EXPECT_EQ(result.status, 1) << result.err;  // the broken file
  std::vector<std::string> found;
  for (const std::string& line : Lines(result.out)) {
    const nlohmann::json object = nlohmann::json::parse(line);
    found.push_back(object["folder"].get<std::string>() + " " +
                    object["service"]["Name"].get<std::string>());
    EXPECT_EQ(WithSeconds(object["service"]),
              WithSeconds(LibraryRecords(object["folder"])[object["service"]["Name"]]));
  }
  EXPECT_EQ(found, (std::vector<std::string>{
                       Tree() + "/Orders OrderEntry", Tree() + "/Orders OrderEntryTest",
                       Tree() + "/x/y OrderEntry", Tree() + "/x/y OrderEntryTest"}));
}

// Each selection takes the same services in find and in set --under.
TEST_F(ManyScripts, SelectionsAreTheSameInFindAndSet) {
  const std::vector<std::vector<std::string>> selections = {
      {"--match-wsdl", kOrderEntryWsdl},
      {"--match-endpoint", "http://erp-test.example.com/orders/OrderEntry"},
      {"--match-service-name", "OrderEntryService", "--match-name", "*Test"},
      {"--match-name", "[IL]*"},
  };
  for (const auto& selection : selections) {
    std::vector<std::string> find = {"find", "--under", Tree()};
    std::vector<std::string> set = {"set", "--under", Tree(), "--dry-run", "--description", "d"};
    find.insert(find.end(), selection.begin(), selection.end());
    set.insert(set.end(), selection.begin(), selection.end());
    const ToolResult found = RunTool(find);
    const ToolResult dry = RunTool(set);
    std::string expected;
    for (const std::string& line : Lines(found.out)) {
      const std::size_t tab = line.find('\t');
      expected += line.substr(0, tab) + "/WSDL/web_services.ini: " + line.substr(tab + 1) +
                  ": Description\n";
    }
    EXPECT_FALSE(found.out.empty()) << selection[1];
    EXPECT_EQ(dry.out, expected) << selection[1];
  }
}

// The walk runs as a user who may not read one folder: it is named, and the
// results are incomplete.
TEST_F(ManyScripts, AFolderThatCannotBeReadIsNamed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play another user";
  fs::permissions(scripts_.path(),
                  fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::copy(Script("Billing"), Tree() + "/team/locked", fs::copy_options::recursive);
  fs::permissions(Tree() + "/team/locked", fs::perms::owner_all);
  const std::string failures = RunAsOtherUser([&] {
    const ToolResult result =
        RunTool({"find", "--under", Tree() + "/team", "--match-name", "Invoice*"});
    std::string problems;
    if (result.status != 1) problems += "status " + std::to_string(result.status) + "; ";
    if (result.out != Tree() + "/team/Billing\tInvoiceArchive\n") problems += result.out;
    if (result.err.find("skipped " + Tree() + "/team/locked: cannot be read") ==
            std::string::npos ||
        result.err.find("incomplete results") == std::string::npos) {
      problems += result.err;
    }
    return problems;
  });
  EXPECT_EQ(failures, "");
}

// The lines of `after` that differ from `before`'s, line by line.
std::vector<std::string> ChangedLines(const std::string& before, const std::string& after) {
  const std::vector<std::string> a = Lines(before), b = Lines(after);
  std::vector<std::string> changed;
  if (a.size() != b.size()) return {"line count " + std::to_string(b.size())};
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) changed.push_back(b[i]);
  }
  return changed;
}

TEST_F(ManyScripts, SetUnderChangesTheMatchesAndEveryOtherByteStays) {
  const std::vector<std::string> files = {Tree() + "/Orders/WSDL/web_services.ini",
                                          Tree() + "/x/y/WSDL/web_services.ini",
                                          Tree() + "/team/Billing/WSDL/web_services.ini",
                                          Tree() + "/team/broken/WSDL/web_services.ini",
                                          Tree() + "/x\\y/WSDL/web_services.ini",
                                          scripts_.path() + "/outside/WSDL/web_services.ini"};
  std::vector<std::string> before;
  for (const std::string& file : files) before.push_back(ReadBytes(file));
  const std::vector<std::string> set = {"set",
                                        "--under",
                                        Tree(),
                                        "--match-endpoint",
                                        "http://erp.example.com/orders/OrderEntry",
                                        "--endpoint",
                                        "https://erp2.example.com/orders/OrderEntry"};

  std::vector<std::string> dry = set;
  dry.push_back("--dry-run");
  const ToolResult preview = RunTool(dry);
  EXPECT_EQ(preview.status, 1);  // the broken file is reported
  EXPECT_EQ(preview.out, files[0] + ": OrderEntry: ServiceAddress\n" + files[1] +
                             ": OrderEntry: ServiceAddress\n");
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadBytes(files[i]), before[i]);

  const ToolResult changed = RunTool(set);
  EXPECT_EQ(changed.status, 1);
  EXPECT_NE(changed.err.find("broken/WSDL/web_services.ini:3"), std::string::npos) << changed.err;
  // Shown escaped, as every name in a message is: the backslash doubled.
  EXPECT_NE(changed.err.find("skipped '" + Tree() + "/x\\\\y" + kBackslash), std::string::npos)
      << changed.err;
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(
        ChangedLines(before[i], ReadBytes(files[i])),
        std::vector<std::string>{"ServiceAddress=https://erp2.example.com/orders/OrderEntry"});
    // Changed once: one note per file.
    const std::string note = "in " + files[i] + "\n";
    const std::size_t first = changed.err.find(note);
    EXPECT_NE(first, std::string::npos) << changed.err;
    EXPECT_EQ(changed.err.find(note, first + 1), std::string::npos) << changed.err;
  }
  for (std::size_t i = 2; i < files.size(); ++i) {
    EXPECT_EQ(ReadBytes(files[i]), before[i]) << files[i];
  }
}

}  // namespace
}  // namespace kestrine::testing
