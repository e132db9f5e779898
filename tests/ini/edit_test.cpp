// Editing a tree: how values, keys and names are written, which are refused,
// and where new lines land in the file text.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ini/document.h"
#include "ini/escape.h"
#include "ini/parser.h"
#include "ini/writer.h"

namespace kestrine::ini {
namespace {

// The text of a document after `edit`, and a check that the text reads back.
template <typename Edit>
std::string EditText(const std::string& text, Edit edit) {
  Document document;
  EXPECT_TRUE(Parse(text, &document, nullptr));
  edit(document);
  std::string written = Serialize(document);
  Document reread;
  Error error;
  EXPECT_TRUE(Parse(written, &reread, &error)) << error.line << ": " << error.message;
  return written;
}

Node* Root(Document& document, std::size_t index) { return document.roots().at(index); }
Node* Child(Document& document, std::size_t root, std::size_t child) {
  return Root(document, root)->children().at(child);
}

// Values that need care: each is set, written, read back and compared.
std::vector<std::string> AwkwardValues() {
  std::vector<std::string> values = {
      "",      " ",     "\t",    " lead", "trail ", "\ttab\t", "\"",        "\"\"",
      "\"a\"", "\"a",   "a\"",   "\\",    "\\\\",   "\\x41",   "\\\"",      "a=b=c",
      "=",     ";semi", "#hash", "a;b#c", "[x]",    "\r",      "\n",        "\r\n",
      "a\rb",  "a\nb",  "end\r", "x\ty",  "\x7F",   "\"\\",    "C:\\dir\\", "\" \""};
  for (int byte = 1; byte <= 0xFF; ++byte) {
    const char c = static_cast<char>(byte);
    values.push_back(std::string(1, c));
    values.push_back(std::string("a") + c + "b");
  }
  values.push_back(std::string("nul\0inside", 10));
  return values;
}

TEST(EditValues, EveryValueReadsBackAfterWriting) {
  const std::vector<std::string> values = AwkwardValues();
  Document document;
  Node* node = document.AddRoot("A");
  ASSERT_NE(node, nullptr);
  for (std::size_t i = 0; i < values.size(); ++i) {
    ASSERT_TRUE(node->SetAttribute("k" + std::to_string(i), values[i]));
  }
  Document reread;
  Error error;
  ASSERT_TRUE(Parse(Serialize(document), &reread, &error)) << error.message;
  const Node& read = *reread.roots().at(0);
  ASSERT_EQ(read.attributes().size(), values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(read.FindAttribute("k" + std::to_string(i))->value(), values[i]) << "value " << i;
  }
}

TEST(EditValues, ReplacedValuesReadBackToo) {
  // Rewriting a line read from a file goes through the same encoding.
  for (const std::string& value : AwkwardValues()) {
    const std::string text = EditText("[A]\r\nk = \"old\"\r\n", [&](Document& document) {
      ASSERT_TRUE(document.roots()[0]->SetAttribute("k", value));
    });
    Document reread;
    ASSERT_TRUE(Parse(text, &reread, nullptr));
    EXPECT_EQ(reread.roots()[0]->FindAttribute("k")->value(), value);
  }
}

struct WrittenCase {
  const char* name;
  std::string value;
  std::string line;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const WrittenCase& c, std::ostream* out) { *out << c.name; }

class WrittenFormTest : public ::testing::TestWithParam<WrittenCase> {};

TEST_P(WrittenFormTest, QuotesOnlyWhenNeeded) {
  Document document;
  document.AddRoot("A")->SetAttribute("k", GetParam().value);
  EXPECT_EQ(Serialize(document), "[A]\n" + GetParam().line + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Values, WrittenFormTest,
    ::testing::Values(WrittenCase{"Plain", "a b", "k=a b"}, WrittenCase{"Empty", "", "k="},
                      WrittenCase{"Punctuation", "p;a#s=s\\x", "k=p;a#s=s\\x"},
                      WrittenCase{"LoneQuote", "\"", "k=\""},
                      WrittenCase{"HighBytes", "\xC3\xA9", "k=\xC3\xA9"},
                      WrittenCase{"LeadingBlank", " a", "k=\" a\""},
                      WrittenCase{"TrailingTab", "a\t", "k=\"a\\t\""},
                      WrittenCase{"QuotedForm", "\"a\\b\"", "k=\"\\\"a\\\\b\\\"\""},
                      WrittenCase{"LineBreaks", "a\r\nb", "k=\"a\\r\\nb\""},
                      WrittenCase{"ControlBytes", std::string("\x01\x7F\0", 3),
                                  "k=\"\\x01\\x7F\\x00\""}),
    [](const auto& test) { return test.param.name; });

TEST(EditKeys, RefusesKeysThatCannotBeWritten) {
  for (const std::string key :
       {"", "a=b", "=", "a\nb", "a\rb", "a\r", " a", "a ", "\ta", "a\t", "[a", ";a", "#a"}) {
    Document document;
    Node* node = document.AddRoot("A");
    EXPECT_FALSE(node->SetAttribute(key, "v")) << "key '" << key << "'";
    EXPECT_TRUE(node->attributes().empty());
    EXPECT_EQ(Serialize(document), "[A]\n");
  }
}

TEST(EditKeys, AcceptsKeysThatReadBack) {
  for (const std::string key :
       {"a b", "a[", "a]", "x;y", "x#", "\"q\"", "\\", "\x01", "\xC3\xA9"}) {
    Document document;
    ASSERT_TRUE(document.AddRoot("A")->SetAttribute(key, "v")) << "key '" << key << "'";
    Document reread;
    ASSERT_TRUE(Parse(Serialize(document), &reread, nullptr));
    const Attribute* attribute = reread.roots()[0]->FindAttribute(key);
    ASSERT_NE(attribute, nullptr) << "key '" << key << "'";
    EXPECT_EQ(attribute->value(), "v");
  }
}

TEST(EditNames, RefusesNamesThatCannotBeWritten) {
  for (const std::string name :
       {"", "a\\b", "[a", "a]", "a\x01", "a\x7F", "a\n", " a", "a ", "\t"}) {
    Document document;
    EXPECT_EQ(document.AddRoot(name), nullptr) << "name '" << name << "'";
    Node* root = document.AddRoot("R");
    EXPECT_EQ(root->AddChild(name), nullptr) << "name '" << name << "'";
    EXPECT_FALSE(root->Rename(name)) << "name '" << name << "'";
    EXPECT_TRUE(root->children().empty());
    EXPECT_EQ(Serialize(document), "[R]\n");
  }
}

TEST(EditNames, AcceptsNamesThatReadBack) {
  for (const std::string name : {"Service_1", "a b", ";x", "#x", "a=b", "\xC3\xA9t\xC3\xA9"}) {
    Document document;
    ASSERT_NE(document.AddRoot(name), nullptr) << name;
    ASSERT_NE(document.roots()[0]->AddChild(name), nullptr) << name;
    Document reread;
    ASSERT_TRUE(Parse(Serialize(document), &reread, nullptr)) << name;
    EXPECT_EQ(reread.roots().at(0)->name(), name);
    EXPECT_EQ(reread.roots()[0]->children().at(0)->name(), name);

    // Renamed in a header read with a comment after it.
    const std::string renamed = EditText("[R]\n[R\\a] ; c\n[R\\a\\b]\n", [&](Document& d) {
      ASSERT_TRUE(Child(d, 0, 0)->Rename(name)) << name;
    });
    ASSERT_TRUE(Parse(renamed, &reread, nullptr)) << name;
    EXPECT_EQ(reread.roots()[0]->children().at(0)->name(), name);
    EXPECT_EQ(reread.roots()[0]->children()[0]->children().at(0)->name(), "b");
  }
}

TEST(EditAttributes, SetReplacesFirstOfDuplicates) {
  const std::string text = EditText("[A]\nk = 1\nk = 2\n", [](Document& document) {
    Node* node = document.roots()[0];
    ASSERT_TRUE(node->SetAttribute("k", "3"));
    EXPECT_EQ(node->FindAttribute("k")->value(), "3");
    EXPECT_EQ(node->attributes()[1].value(), "2");
  });
  EXPECT_EQ(text, "[A]\nk = 3\nk = 2\n");
}

TEST(EditAttributes, SameValueKeepsLineAsWritten) {
  EXPECT_EQ(EditText("[A]\n k =  \"v\" \n",
                     [](Document& document) { document.roots()[0]->SetAttribute("k", "v"); }),
            "[A]\n k =  \"v\" \n");
}

struct PlacementCase {
  const char* name;
  std::string before;
  void (*edit)(Document&);
  std::string after;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const PlacementCase& c, std::ostream* out) { *out << c.name; }

class PlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, NewLinesLandInPlace) {
  EXPECT_EQ(EditText(GetParam().before, GetParam().edit), GetParam().after);
}

// The order keys are written in, for inserts that follow it.
const std::vector<std::string_view> kOrder = {"A", "B", "C", "D"};

INSTANTIATE_TEST_SUITE_P(
    Text, PlacementTest,
    ::testing::Values(
        PlacementCase{"AttributeAfterLastAttributeLine", "[A]\nk=1\n; c\n\n[B]\n",
                      [](Document& d) { Root(d, 0)->SetAttribute("n", "2"); },
                      "[A]\nk=1\nn=2\n; c\n\n[B]\n"},
        PlacementCase{"AttributeRightAfterBareHeader", "[A]\n; c\n[B]\n",
                      [](Document& d) {
                        Root(d, 0)->SetAttribute("n", "1");
                        Root(d, 0)->SetAttribute("m", "2");
                      },
                      "[A]\nn=1\nm=2\n; c\n[B]\n"},
        PlacementCase{"RewriteOnlyOwnLine", "[A]\r\nk = old ; x\r\nj = same\r\n",
                      [](Document& d) {
                        Root(d, 0)->SetAttribute("k", "new");
                        Root(d, 0)->SetAttribute("j", "same");
                      },
                      "[A]\r\nk = new\r\nj = same\r\n"},
        PlacementCase{"ChildAfterParentSubtree",
                      "[S]\nCount=1\n\n[S\\a]\nx=1\n; tail\n[Other]\ny=2\n",
                      [](Document& d) { Root(d, 0)->AddChild("b")->SetAttribute("k", "v"); },
                      "[S]\nCount=1\n\n[S\\a]\nx=1\n; tail\n\n[S\\b]\nk=v\n[Other]\ny=2\n"},
        PlacementCase{"ChildOfFirstSameNamedRoot", "[S]\n[S\\a]\n[S]\n[S\\b]\n",
                      [](Document& d) { Root(d, 0)->AddChild("c"); },
                      "[S]\n[S\\a]\n\n[S\\c]\n[S]\n[S\\b]\n"},
        PlacementCase{"GrandchildWithFullPath", "[S]\n[S\\a]\n[T]\n",
                      [](Document& d) { Root(d, 0)->children()[0]->AddChild("x")->AddChild("y"); },
                      "[S]\n[S\\a]\n\n[S\\a\\x]\n\n[S\\a\\x\\y]\n[T]\n"},
        PlacementCase{"RootAtEndAfterMissingLineEnding", "[A]\nk=v",
                      [](Document& d) { d.AddRoot("B"); }, "[A]\nk=v\n\n[B]\n"},
        PlacementCase{"AttributeAfterLastLineWithoutEnding", "[A]\nk=v",
                      [](Document& d) { Root(d, 0)->SetAttribute("n", "1"); }, "[A]\nk=v\nn=1\n"},
        PlacementCase{"FinalCrEndsLine", "[A]\nk=v\r",
                      [](Document& d) { Root(d, 0)->SetAttribute("n", "1"); }, "[A]\nk=v\rn=1\n"},
        PlacementCase{"BlankLineAfterLoneCrStaysApart", "[A]\r\nk=v\r",
                      [](Document& d) { d.AddRoot("B"); }, "[A]\r\nk=v\r\r[B]\r\n"},
        PlacementCase{"LoneCrBeforeBlankLfLineStaysApart", "[A]\rk=v\n\n",
                      [](Document& d) { Root(d, 0)->SetAttribute("n", "1"); },
                      "[A]\rk=v\nn=1\r\n\n"},
        PlacementCase{"OldMacFileGetsCrLines", "[A]\rk=old\rj=1",
                      [](Document& d) {
                        Root(d, 0)->SetAttribute("k", "new");
                        Root(d, 0)->SetAttribute("n", "2");
                        Root(d, 0)->AddChild("b")->SetAttribute("x", "3");
                        d.AddRoot("C");
                      },
                      "[A]\rk=new\rj=1\rn=2\r\r[A\\b]\rx=3\r\r[C]\r"},
        PlacementCase{"CrCrLfFileGetsCrCrLfLines",
                      "[S]\r\r\n[S\\a]\r\r\nk=old\r\r\n[S\\b]\r\r\nj=1\r\r\n[S\\x]\r\r\ny=0",
                      [](Document& d) {
                        Node* a = Root(d, 0)->children()[0];
                        a->SetAttribute("k", "new");
                        a->SetAttribute("n", "2");
                        Root(d, 0)->children()[1]->Rename("c");
                        Root(d, 0)->RemoveChild(Root(d, 0)->children()[2]);
                        Root(d, 0)->AddChild("d");
                      },
                      "[S]\r\r\n[S\\a]\r\r\nk=new\r\r\nn=2\r\r\n[S\\c]\r\r\nj=1\r\r\n\r\r\n"
                      "[S\\d]\r\r\n"},
        PlacementCase{"CrLfFileGetsCrLfLines", "; c\r\n[A]\r\nk=v\r\n",
                      [](Document& d) {
                        Root(d, 0)->SetAttribute("n", "1");
                        Root(d, 0)->AddChild("b")->SetAttribute("x", "2");
                        d.AddRoot("C");
                      },
                      "; c\r\n[A]\r\nk=v\r\nn=1\r\n\r\n[A\\b]\r\nx=2\r\n\r\n[C]\r\n"},
        PlacementCase{"NewFile", "",
                      [](Document& d) {
                        Node* services = d.AddRoot("Services");
                        services->SetAttribute("Count", "1");
                        services->AddChild("Service_1")->SetAttribute("Name", "A");
                      },
                      "[Services]\nCount=1\n\n[Services\\Service_1]\nName=A\n"},
        PlacementCase{"BomKeptFirst", "\xEF\xBB\xBF", [](Document& d) { d.AddRoot("A"); },
                      "\xEF\xBB\xBF[A]\n"},
        // Values set in place: only the value's text changes.
        PlacementCase{"SetKeepsKeySpellingBlanksAndEnding",
                      "[A]\r\n\t Key \t=  \"old\"  \r\nj=1\nk= v",
                      [](Document& d) {
                        Root(d, 0)->SetAttribute("Key", " new");
                        Root(d, 0)->SetAttribute("k", "w");
                      },
                      "[A]\r\n\t Key \t=  \" new\"\r\nj=1\nk= w"},
        PlacementCase{"SetToEmptyKeepsBlanksAfterEquals", "[A]\nk =  v \n",
                      [](Document& d) { Root(d, 0)->SetAttribute("k", ""); }, "[A]\nk =  \n"},
        // New keys in the given order.
        PlacementCase{"OrderedAfterLastEarlierKey", "[S]\nA=1\n; c\nX=0\nD=4\n\n[T]\n",
                      [](Document& d) {
                        Root(d, 0)->SetAttribute("C", "3", kOrder);
                        Root(d, 0)->SetAttribute("B", "2", kOrder);
                      },
                      "[S]\nA=1\nB=2\nC=3\n; c\nX=0\nD=4\n\n[T]\n"},
        PlacementCase{"OrderedBeforeFirstLaterKey", "[S]\nX=0\n\nC=3\nD=4\n",
                      [](Document& d) {
                        Root(d, 0)->SetAttribute("B", "2", kOrder);
                        Root(d, 0)->SetAttribute("A", "1", kOrder);
                        Root(d, 0)->SetAttribute("D", "dup", kOrder);  // sets the existing D
                      },
                      "[S]\nX=0\n\nA=1\nB=2\nC=3\nD=dup\n"},
        PlacementCase{"OrderedWithoutRankedNeighboursAtEnd", "[S]\nX=0\n; c\n",
                      [](Document& d) {
                        Root(d, 0)->SetAttribute("B", "2", kOrder);
                        Root(d, 0)->SetAttribute("Y", "9", kOrder);  // not in the order
                        Root(d, 0)->SetAttribute("A", "1", kOrder);
                      },
                      "[S]\nX=0\nA=1\nB=2\nY=9\n; c\n"},
        // Removing takes a node's header, body and subtree, nothing else.
        PlacementCase{"RemoveChildWithSubtree",
                      "[S]\nCount=2\n\n[S\\a]\nx=1\n; a's\n[S\\a\\d]\ny=2\n[S\\b]\nz=3",
                      [](Document& d) { Root(d, 0)->RemoveChild(Child(d, 0, 0)); },
                      "[S]\nCount=2\n\n[S\\b]\nz=3"},
        PlacementCase{"RemoveChildTakesTheCommentsThatIntroduceIt",
                      "[S]\nk=1\n; of S\n\n; about a\n[S\\a]\nx=1\n; of a\n\n; about b\n"
                      "[S\\b]\ny=2\n\n; the end",
                      [](Document& d) {
                        Root(d, 0)->RemoveChild(Child(d, 0, 1));
                        Root(d, 0)->RemoveChild(Child(d, 0, 0));
                      },
                      "[S]\nk=1\n; of S\n\n; the end"},
        PlacementCase{"RemoveRootKeepsPreambleAndLastLine", "; c\r\n[A]\r\nk=v\r\n[B]\r\nx=1",
                      [](Document& d) {
                        d.RemoveRoot(Root(d, 0));
                        d.AddRoot("C");
                      },
                      "; c\r\n[B]\r\nx=1\r\n\r\n[C]\r\n"},
        // Renaming rewrites the name in the headers that spell it.
        PlacementCase{"RenameKeepsIndentBlanksAndComment",
                      "[S]\r\n  [ S \\ Service_2 ]\t; second # one\r\nName=B\r\n",
                      [](Document& d) { Child(d, 0, 0)->Rename("Service_1"); },
                      "[S]\r\n  [ S \\ Service_1 ]\t; second # one\r\nName=B\r\n"},
        PlacementCase{"RenameRewritesPathsBelow",
                      "[S]\n[S\\a] ;c\n[S\\a\\x]\n[ S\\ a \\x\\y]\n[T]\n",
                      [](Document& d) {
                        Child(d, 0, 0)->AddChild("n");
                        Child(d, 0, 0)->Rename("b");
                        Root(d, 0)->Rename("R");
                      },
                      "[R]\n[R\\b] ;c\n[R\\b\\x]\n[ R\\ b \\x\\y]\n\n[R\\b\\n]\n[T]\n"},
        PlacementCase{"RemoveThenRenumber",
                      "[Services]\nCount=3\n\n[Services\\Service_1]\nName=A\n\n"
                      "[Services\\Service_2]\nName=B\n\n[Services\\Service_3] ; c\nName=C\n",
                      [](Document& d) {
                        Root(d, 0)->RemoveChild(Child(d, 0, 0));
                        Child(d, 0, 0)->Rename("Service_1");
                        Child(d, 0, 1)->Rename("Service_2");
                        Root(d, 0)->SetAttribute("Count", "2");
                      },
                      "[Services]\nCount=2\n\n[Services\\Service_1]\nName=B\n\n"
                      "[Services\\Service_2] ; c\nName=C\n"}),
    [](const auto& test) { return test.param.name; });

TEST(EditScale, ManyChildrenUnderRootFollowedByAnother) {
  // Appending must not move lines around: 100,000 children stay fast.
  Document document;
  ASSERT_TRUE(Parse("[Services]\nCount=0\n[Other]\nk=v\n", &document, nullptr));
  Node* services = document.roots()[0];
  constexpr int kChildren = 100000;
  for (int i = 0; i < kChildren; ++i) {
    Node* child = services->AddChild("Service_" + std::to_string(i));
    ASSERT_NE(child, nullptr);
    child->SetAttribute("Name", "n");
  }
  const std::string text = Serialize(document);
  Document reread;
  ASSERT_TRUE(Parse(text, &reread, nullptr));
  ASSERT_EQ(reread.roots().size(), 2U);
  EXPECT_EQ(reread.roots()[0]->children().size(), static_cast<std::size_t>(kChildren));
  EXPECT_EQ(reread.roots()[0]->children().back()->name(), "Service_99999");
  EXPECT_TRUE(reread.roots()[1]->children().empty());
  EXPECT_EQ(text.substr(text.size() - 12), "[Other]\nk=v\n");
}

}  // namespace
}  // namespace kestrine::ini
