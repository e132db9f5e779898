// Reading INI text: what the tree holds, which text is refused and where,
// and that text read and written unchanged comes back byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ini/document.h"
#include "ini/parser.h"
#include "ini/writer.h"

namespace kestrine::ini {
namespace {

// "name{key=value,...}(children...)" for each root, space-separated.
void DumpNode(const Node& node, std::string* out) {
  out->append(node.name());
  if (!node.attributes().empty()) {
    out->push_back('{');
    for (const auto& attribute : node.attributes()) {
      if (out->back() != '{') out->push_back(',');
      out->append(attribute.key()).append("=").append(attribute.value());
    }
    out->push_back('}');
  }
  if (!node.children().empty()) {
    out->push_back('(');
    for (const Node* child : node.children()) {
      if (out->back() != '(') out->push_back(' ');
      DumpNode(*child, out);
    }
    out->push_back(')');
  }
}

std::string Dump(const Document& document) {
  std::string out;
  for (const Node* root : document.roots()) {
    if (!out.empty()) out.push_back(' ');
    DumpNode(*root, &out);
  }
  return out;
}

struct ReadCase {
  const char* name;
  std::string text;
  std::string tree;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, BuildsTree) {
  Document document;
  Error error;
  ASSERT_TRUE(Parse(GetParam().text, &document, &error)) << error.line << ": " << error.message;
  EXPECT_EQ(Dump(document), GetParam().tree);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, ReadTest,
    ::testing::Values(
        ReadCase{"Empty", "", ""},
        ReadCase{"Nested", "[S]\nCount=2\n[S\\a]\nk=1\n[S\\b]\n[S\\b\\c]\n[S\\d]\n[T]\n",
                 "S{Count=2}(a{k=1} b(c) d) T"},
        ReadCase{"BlanksTrimmed", "[S]\n \t[ S \\\t a ]\t \n  key \t= \t value  x \t\n",
                 "S(a{key=value  x})"},
        ReadCase{"Comments", "; top\n[A]\n;k=1\n  # j=2\n\tk=3\n", "A{k=3}"},
        ReadCase{"NoInlineComments", "[A]\npw=se;cr#et ; not a comment\n",
                 "A{pw=se;cr#et ; not a comment}"},
        ReadCase{"FirstEqualsSplits", "[A]\nk = a=b\n", "A{k=a=b}"},
        ReadCase{"EmptyValue", "[A]\nk=\nj =  \t\n", "A{k=,j=}"},
        ReadCase{"UnknownLinesIgnored", "[A]\njust words\n=no key\n  = x\nk=v\n", "A{k=v}"},
        ReadCase{"AttributesBeforeHeaderIgnored", "k=v\n[A]\n", "A"},
        ReadCase{"BomSkipped", "\xEF\xBB\xBF[A]\nk=v\n", "A{k=v}"},
        ReadCase{"CrLf", "[A]\r\nk=v\r\n[A\\b]\r\n", "A{k=v}(b)"},
        ReadCase{"LoneCrEndsLine", "[A]\nk=a\rb=1\nj=v\r", "A{k=a,b=1,j=v}"},
        ReadCase{"OldMacFile", "[A]\rk=v\r\r[A\\b]\rj=w", "A{k=v}(b{j=w})"},
        ReadCase{"CrCrLfIsOneEnding", "[s]\r\r\nk=v\r\r\n\r\r\n[s\\t]\r\r\n", "s{k=v}(t)"},
        ReadCase{"CrsBeforeCrCrLf", "[s]\r\r\r\nk=v\r\r\r\n", "s{k=v}"},
        ReadCase{"NoFinalLineEnding", "[A]\nk=v", "A{k=v}"},
        ReadCase{"DuplicateKeysKept", "[A]\nk=1\nk=2\n", "A{k=1,k=2}"},
        ReadCase{"SameNamedRootsKeepTheirChildren", "[S]\n[S\\a]\n[S]\n[S\\b]\n", "S(a) S(b)"},
        ReadCase{"ChildOfLatestSameNamedNode", "[S]\n[S\\a]\n[S\\a]\n[S\\a\\x]\n", "S(a a(x))"},
        ReadCase{"HeaderAfterDeeperNodes", "[a]\n[a\\b]\n[a\\b\\c]\n[a\\d]\n[a\\d\\e]\n",
                 "a(b(c) d(e))"},
        ReadCase{"BracketsInsideName", "[a]b]\n[[x]\n", "a]b [x"},
        ReadCase{"HeaderComments", "[S] ; c\n[S\\a]\t# c ]x\nk=v ; data\n[T];x\n[a]b] #c\n",
                 "S(a{k=v ; data}) T a]b"},
        ReadCase{"LastBracketClosesWhenLineEndsInOne", "[a] ; b]\n[c]#[d]\n", "a] ; b c]#[d"}),
    [](const auto& test) { return test.param.name; });

struct ValueCase {
  const char* name;
  std::string written;  // the text after "k="
  std::string value;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const ValueCase& c, std::ostream* out) { *out << c.name; }

class ValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTest, DecodesValue) {
  Document document;
  ASSERT_TRUE(Parse("[A]\nk=" + GetParam().written + "\n", &document, nullptr));
  const Attribute* attribute = document.roots()[0]->FindAttribute("k");
  ASSERT_NE(attribute, nullptr);
  EXPECT_EQ(attribute->value(), GetParam().value);
  EXPECT_EQ(attribute->c_value()[attribute->value().size()], '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Quoting, ValueTest,
    ::testing::Values(ValueCase{"Raw", "a b", "a b"},
                      ValueCase{"RawBackslashesAreData", "C:\\x41\\n", "C:\\x41\\n"},
                      ValueCase{"QuotedKeepsBlanks", "\"  a \t\"", "  a \t"},
                      ValueCase{"EmptyQuoted", "\"\"", ""},
                      ValueCase{"SingleQuoteCharIsRaw", "\"", "\""},
                      ValueCase{"QuoteOnlyAtStartIsRaw", "\"a\" b", "\"a\" b"},
                      ValueCase{"Escapes", "\"\\\\\\\"\\r\\n\\t\"", "\\\"\r\n\t"},
                      ValueCase{"HexEscapes", "\"\\x41\\x7f\\x00\\xFF\"",
                                std::string("A\x7F\0\xFF", 4)},
                      ValueCase{"UnknownEscapeIsLiteral", "\"\\q\\a\"", "\\q\\a"},
                      ValueCase{"ShortHexIsLiteral", "\"\\x4\"", "\\x4"},
                      ValueCase{"BadHexIsLiteral", "\"\\xZ1\"", "\\xZ1"},
                      ValueCase{"TrailingBackslashIsLiteral", "\"a\\\"", "a\\"},
                      ValueCase{"InnerQuotesUnescaped", "\"a\"b\"", "a\"b"}),
    [](const auto& test) { return test.param.name; });

struct MalformedCase {
  const char* name;
  std::string text;
  int line;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const MalformedCase& c, std::ostream* out) { *out << c.name; }

class MalformedTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedTest, RefusedAtLine) {
  Document document;
  Error error;
  EXPECT_FALSE(Parse(GetParam().text, &document, &error));
  EXPECT_EQ(error.line, GetParam().line);
  EXPECT_FALSE(error.message.empty());
  EXPECT_TRUE(document.roots().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MalformedTest,
    ::testing::Values(MalformedCase{"NoClosingBracket", "[A\n", 1},
                      MalformedCase{"OpenBracketOnly", "[A]\n[", 2},
                      MalformedCase{"TextAfterBracket", "; c\r\n [A] x\r\n", 2},
                      MalformedCase{"TextBeforeComment", "[A] x ; c\n", 1},
                      MalformedCase{"CommentWithoutBracket", "[A ; c\n", 1},
                      MalformedCase{"EmptyNameBeforeComment", "[A]\n[A\\ ] ; c\n", 2},
                      MalformedCase{"EmptyHeader", "k=v\n[A]\n[]\n", 3},
                      MalformedCase{"BlankName", "[A]\n[ \t]\n", 2},
                      MalformedCase{"EmptyMiddleName", "[A]\n[A\\\\b]\n", 2},
                      MalformedCase{"EmptyFirstName", "[A]\n[\\b]\n", 2},
                      MalformedCase{"EmptyLastName", "[A]\n[A\\ ]\n", 2},
                      MalformedCase{"WrongParent", "[A]\n[B\\c]\n", 2},
                      MalformedCase{"ParentNotLatestRoot", "[A]\n[B]\n[A\\c]\n", 3},
                      MalformedCase{"MissingLevel", "[A]\n[A\\b\\c]\n", 2},
                      MalformedCase{"LevelClosedByLaterRoot", "[A]\n[A\\b]\n[A]\n[A\\b\\c]\n", 4},
                      MalformedCase{"ChildBeforeAnyRoot", "; c\n[A\\b]\n", 2},
                      MalformedCase{"AfterBom", "\xEF\xBB\xBF[A\n", 1},
                      MalformedCase{"Utf16LittleEndian", std::string("\xFF\xFE[\0A\0]\0", 8), 1},
                      MalformedCase{"Utf16BigEndian", std::string("\xFE\xFF\0[\0A\0]", 8), 1},
                      MalformedCase{"LineAfterLoneCr", "[A]\r[B\\c]\r", 2},
                      MalformedCase{"LastLineWithoutEnding", "[A]\nk=v\n [B", 3}),
    [](const auto& test) { return test.param.name; });

struct RoundTripCase {
  const char* name;
  std::string text;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const RoundTripCase& c, std::ostream* out) { *out << c.name; }

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, WritesBackUnchanged) {
  Document document;
  Error error;
  ASSERT_TRUE(Parse(GetParam().text, &document, &error)) << error.line << ": " << error.message;
  EXPECT_EQ(Serialize(document), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Preservation, RoundTripTest,
    ::testing::Values(RoundTripCase{"Empty", ""}, RoundTripCase{"BomOnly", "\xEF\xBB\xBF"},
                      RoundTripCase{"Mixed",
                                    "; Web services of this script\n"
                                    "stray before header = kept\n\n"
                                    "  [ Services ]  \n"
                                    "Count   =  2\n"
                                    "# note\n"
                                    "\n"
                                    "[Services\\ Service_1]\n"
                                    "Name=\"  padded \\x41\"\n"
                                    "Password = p;a#ss\n"
                                    "free text line\n"
                                    "=x\n"
                                    "Name=duplicate\n"
                                    "\t\n"},
                      RoundTripCase{"CrLfWithBom", "\xEF\xBB\xBF[A]\r\nk=v\r\n\r\n[A\\b]\r\n"},
                      RoundTripCase{"MixedLineEndings", "[A]\r\nk=v\nj=w\r\n"},
                      RoundTripCase{"NoFinalLineEnding", "[A]\nk=v"},
                      RoundTripCase{"FinalCr", "[A]\nk=v\r"},
                      RoundTripCase{"OldMac", "; c\r[A]\rk=v\r\r[A\\b]\rj=\"q\""},
                      RoundTripCase{"CrCrLf", "\xEF\xBB\xBF[s]\r\r\nk=v\r\r\n\r\r\n[s\\t]\r\r\r\n"},
                      RoundTripCase{"OnlyComments", "; a\n# b"},
                      RoundTripCase{"HeaderComments", "  [ S ]  ; c \r\n[S\\a]#x\n\t[T]\t;"},
                      RoundTripCase{"BinaryBytes", std::string("[A]\nk=\x01\x02\xFF\x00z\n", 10)}),
    [](const auto& test) { return test.param.name; });

TEST(ParseLines, NodesAndAttributesKnowTheirLines) {
  Document document;
  ASSERT_TRUE(Parse("; c\n[S]\nCount=1\n\n[S\\a]\nx=1\ny=2\n", &document, nullptr));
  const Node& root = *document.roots()[0];
  EXPECT_EQ(root.line(), 2);
  EXPECT_EQ(root.FindAttribute("Count")->line(), 3);
  const Node& child = *root.children()[0];
  EXPECT_EQ(child.line(), 5);
  EXPECT_EQ(child.FindAttribute("y")->line(), 7);
  EXPECT_EQ(child.parent(), &root);
}

TEST(ParseLines, TellFirstLineOfEachEnding) {
  Document document;
  ASSERT_TRUE(Parse("[S]\nk=1\r\r\nj=2\r\n\r\r\n\rx", &document, nullptr));
  EXPECT_EQ(document.first_line_ending(Eol::kLf), 1);
  EXPECT_EQ(document.first_line_ending(Eol::kCrCrLf), 2);
  EXPECT_EQ(document.first_line_ending(Eol::kCrLf), 3);
  EXPECT_EQ(document.first_line_ending(Eol::kCr), 5);
  EXPECT_EQ(document.first_line_ending(Eol::kNone), 6);
  ASSERT_TRUE(Parse("[S]\n", &document, nullptr));
  EXPECT_EQ(document.first_line_ending(Eol::kCr), 0);
}

TEST(ParseLines, DuplicateKeyReadsFirst) {
  Document document;
  ASSERT_TRUE(Parse("[A]\nk=1\nk=2\n", &document, nullptr));
  EXPECT_EQ(document.roots()[0]->FindAttribute("k")->value(), "1");
  EXPECT_EQ(document.roots()[0]->FindAttribute("K"), nullptr);  // keys are case-sensitive
}

TEST(ParseLines, ReparseReplacesEarlierContent) {
  Document document;
  ASSERT_TRUE(Parse("[A]\n[B]\n", &document, nullptr));
  EXPECT_FALSE(Parse("[A\n", &document, nullptr));
  EXPECT_TRUE(document.roots().empty());
  EXPECT_EQ(Serialize(document), "");
}

}  // namespace
}  // namespace kestrine::ini
