// The streaming reader hands out what the whole-file parser reads, and
// refuses what it refuses on the same line, however the text is cut into
// pieces.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ini_reading.h"

namespace kestrine::testing {
namespace {

struct StreamCase {
  const char* name;
  std::string text;
};

std::vector<StreamCase> Cases() {
  const std::string long_value(300, 'v');
  return {
      {"empty", ""},
      {"nested", "[S]\nCount=2\n[S\\a]\nk=1\n[S\\b]\n[S\\b\\c]\n[S\\d]\n[T]\n"},
      {"blanks, comments and other lines",
       "k=before\n; c\n[ S \\\t]\n[S]\n  key \t= \t value  x \t\n# j=2\n=no key\nwords\n"},
      {"crlf and lone cr", "\xEF\xBB\xBF[A]\r\nk=a\rb=2\r\nj= v \r\n[A\\b]\r\n"},
      {"cr cr lf", "[A]\r\r\nk=v\r\r\n\r\r\r\n[A\\b]\r\r\nj=\"w\"\r\r"},
      {"old mac", "[A]\rk=v\r\r[A\\b]\rj=w\r[A\\c\\d]\r"},
      {"utf-16", std::string("\xFF\xFE[\0A\0]\0\r\0\n\0", 12)},
      {"quoted values", "[A]\nq=\"  a\\tb \\x41\\\"\"\ne=\"\"\none=\"\nk=\"x\" \t\nlast=\"end\""},
      {"no final line ending", "[A]\nk=v"},
      {"duplicate keys and nodes", "[S]\n[S\\a]\nk=1\nk=2\n[S]\n[S\\a]\n[S\\a\\x]\nk=3\n"},
      {"a line longer than a piece", "[A]\nlong=" + long_value + "\n[A\\" + long_value + "]\n"},
      {"unclosed header late", "[S]\n[S\\a]\nk=1\n[S\\b\n"},
      {"header comments", "[S] ; c\n[S\\a]\t# x\nk=v\n[a] ; b]\n[c]b] ; d\n"},
      {"header with text after it", "[S]\n[S] x ; c\n"},
      {"empty names", "[S]\nk=v\n[S\\ ]\n"},
      {"wrong parent", "[S]\n[S\\a]\n[S\\b\\c]\n"},
      {"orphan", "\n\n[x\\y]\n"},
      {"empty header at the end", "[S]\n[]"},
  };
}

TEST(StreamReader, ReadsAsTheWholeFileParser) {
  // Pieces of the reader and reads of the source, from a byte at a time up.
  const struct {
    std::size_t piece;
    std::vector<std::size_t> reads;
  } cuts[] = {{1, {}}, {2, {1}},      {3, {2, 1, 5}},
              {7, {}}, {64, {3, 61}}, {ini::StreamReader::kPieceSize, {}}};
  for (const StreamCase& c : Cases()) {
    const std::string expected = DumpParsed(c.text);
    for (const auto& cut : cuts) {
      bool terminated = false;
      EXPECT_EQ(DumpStreamed(c.text, cut.piece, cut.reads, &terminated), expected)
          << c.name << ", pieces of " << cut.piece;
      EXPECT_TRUE(terminated) << c.name << ", pieces of " << cut.piece;
    }
  }
}

TEST(StreamReader, ReadErrorsAndTheEndAreFinal) {
  class Failing final : public ini::ByteSource {
   public:
    bool Read(char* into, std::size_t room, std::size_t* got, Error* error) override {
      if (calls_++ == 0 && room >= 4) {
        std::memcpy(into, "[A]\n", 4);
        *got = 4;
        return true;
      }
      return Fail(error, 0, "cannot read");
    }

   private:
    int calls_ = 0;
  } failing;
  ini::StreamReader reader(&failing, 8);
  EXPECT_EQ(reader.Next(), ini::StreamReader::Event::kNode);
  EXPECT_EQ(reader.Next(), ini::StreamReader::Event::kError);
  EXPECT_EQ(reader.error().line, 0);
  EXPECT_EQ(reader.error().message, "cannot read");
  EXPECT_EQ(reader.Next(), ini::StreamReader::Event::kError);

  PieceSource source("[A]\nk=v\n", {});
  ini::StreamReader done(&source);
  EXPECT_EQ(done.Next(), ini::StreamReader::Event::kNode);
  EXPECT_EQ(done.Next(), ini::StreamReader::Event::kAttribute);
  EXPECT_EQ(done.Next(), ini::StreamReader::Event::kEnd);
  EXPECT_EQ(done.Next(), ini::StreamReader::Event::kEnd);
}

}  // namespace
}  // namespace kestrine::testing
