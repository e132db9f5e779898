// --encoding: the texts of a services file in a declared encoding come out
// as UTF-8 and go back in as the same bytes; a text that is not valid, or a
// character the encoding cannot hold, is refused rather than replaced.
#include <filesystem>
#include <fstream>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

struct EncodingCase {
  std::string label;
  std::string encoding;
  std::string stored;      // a text as the file holds it
  std::string utf8;        // the same text in UTF-8
  std::string invalid;     // bytes that are no text in the encoding
  std::string unholdable;  // a character the encoding cannot hold (empty: none)
};

void PrintTo(const EncodingCase& c, std::ostream* out) { *out << c.label; }

class Encoding : public ToolTest, public ::testing::WithParamInterface<EncodingCase> {
 protected:
  // A script folder whose one record is named and described by `text`.
  std::string ScriptHolding(const std::string& folder, const std::string& text) {
    const std::string script = scripts_.path() + "/" + folder;
    std::filesystem::create_directories(script + "/WSDL");
    std::ofstream(script + "/WSDL/web_services.ini", std::ios::binary)
        << "[Services]\r\n"
        << (text.empty() ? ""
                         : "[Services\\Service_1]\r\nName=N" + text + "\r\nDescription=" + text +
                               "\r\nWSDLLocation=w\r\n");
    return script;
  }
  ToolResult Run(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.end(), {"--encoding", GetParam().encoding});
    return RunTool(args, input);
  }
};

TEST_P(Encoding, EveryByteComesBackAndNothingIsReplaced) {
  const EncodingCase& c = GetParam();
  const std::string script = ScriptHolding("Stored", c.stored);
  const std::string file = script + "/WSDL/web_services.ini";
  const std::string name = "N" + c.utf8;

  const ToolResult shown = Run({"show", script, name, "--json"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(nlohmann::json::parse(shown.out)["Description"], c.utf8);

  // Exported, then imported into an empty file: the same bytes.
  const ToolResult exported = Run({"export", script});
  ASSERT_EQ(exported.status, 0) << exported.err;
  const std::string copy = ScriptHolding("Copy", "");
  const ToolResult imported = Run({"import", copy, "-"}, exported.out);
  ASSERT_EQ(imported.status, 0) << imported.err;
  const std::string copied = ReadBytes(copy + "/WSDL/web_services.ini");
  EXPECT_NE(copied.find("Name=N" + c.stored + "\r\n"), std::string::npos) << copied;
  EXPECT_NE(copied.find("Description=" + c.stored + "\r\n"), std::string::npos) << copied;

  const ToolResult set = Run({"set", script, name, "--description", c.utf8 + "!"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_NE(ReadBytes(file).find("Description=" + c.stored + "!\r\n"), std::string::npos);
  EXPECT_EQ(Run({"get", script, name, "Description"}).out, c.utf8 + "!\n");

  if (!c.unholdable.empty()) {
    const std::string before = ReadBytes(file);
    const ToolResult refused = Run({"set", script, name, "--description", c.unholdable});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("(Description) holds a character that " + c.encoding),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(ReadBytes(file), before);
  }

  const std::string bad = ScriptHolding("Invalid", c.invalid);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"export", bad}, {"list", bad, "--json"}}) {
    const ToolResult failed = Run(args);
    EXPECT_EQ(failed.status, 1) << args[0];
    EXPECT_NE(failed.err.find("Invalid/WSDL/web_services.ini: service"), std::string::npos)
        << failed.err;
    EXPECT_NE(failed.err.find("is not valid " + c.encoding +
                              " text; give the file's encoding with "
                              "--encoding"),
              std::string::npos)
        << failed.err;
    EXPECT_EQ(failed.out, "");
  }
  // check names each invalid text by its line: the name on line 3, the description on 4.
  const ToolResult checked = Run({"check", bad});
  EXPECT_EQ(checked.status, 1);
  for (const char* at : {"web_services.ini:3: Name ", "web_services.ini:4: Description "}) {
    EXPECT_NE(checked.out.find(std::string(at) + '"'), std::string::npos) << checked.out;
  }
  EXPECT_NE(checked.out.find("is not valid text in the file's encoding (" + c.encoding),
            std::string::npos)
      << checked.out;
}

const EncodingCase kEncodingCases[] = {
    {"Windows1252", "windows-1252", "Caf\xE9 \x80", "Café €", "\x81", "日本"},
    {"Windows1251", "windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет", "\x98", "日本"},
    // 0x7B, '{', as the second byte of a character.
    {"Cp932", "cp932", "\x93\xFA\x96\x7B", "日本", "\x81", "한"},
    {"Utf8", "utf-8", "Caf\xC3\xA9 日本", "Café 日本", "Caf\xE9", ""},
};

INSTANTIATE_TEST_SUITE_P(Tool, Encoding, ::testing::ValuesIn(kEncodingCases), LabelName());

}  // namespace
}  // namespace kestrine::testing
