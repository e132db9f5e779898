// The value forms of the services file: booleans, integers, local times,
// the description escape, and StrSub.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "platform/time_decoder.h"
#include "repository/value_codecs.h"
#include "repository/vask_ini_tree.h"
#include "testable_repository.h"
#include "time_zone.h"

namespace {

using kestrine::testing::kCentralEurope;
using kestrine::testing::kLordHowe;
using kestrine::testing::ScopedTimeZone;
using kestrine::testing::TestableRepository;
namespace codecs = kestrine::codecs;

// Seconds of a UTC date and time.
long Utc(int year, int month, int day, int hour, int minute, int second) {
  std::tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  utc.tm_min = minute;
  utc.tm_sec = second;
  return static_cast<long>(::timegm(&utc));
}

TEST(StrSub, ReplacesLeftToRightWithoutRescanning) {
  const struct {
    std::string text, search, replacement, expected;
  } cases[] = {
      {"aaa", "a", "aa", "aaaaaa"},
      {"abc", "x", "y", "abc"},
      {"", "a", "b", ""},
      {"abcabc", "bc", "", "aa"},
      {"a\\b\\\\c", "\\", "/", "a/b//c"},
      {"{CR}{CR}", "{CR}", "\r", "\r\r"},
      {"abc", "", "x", "abc"},  // an empty search text changes nothing
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(StrSub(text, c.search, c.replacement), 0);
    EXPECT_EQ(text, c.expected) << c.text << " / " << c.search;
  }
}

TEST(ValueCodecs, Booleans) {
  for (const char* value : {"yes", "false", "", "1", "true", " 0", "x"}) {
    EXPECT_TRUE(codecs::DecodeBool(value)) << '"' << value << '"';
  }
  for (const char* value : {"0", "00", "0abc", "0 "}) {
    EXPECT_FALSE(codecs::DecodeBool(value)) << '"' << value << '"';
  }
  EXPECT_STREQ(codecs::EncodeBool(true), "1");
  EXPECT_STREQ(codecs::EncodeBool(false), "0");
}

TEST(ValueCodecs, Integers) {
  TestableRepository repository;
  const struct {
    const char* text;
    int expected;
  } cases[] = {
      {"2", 2},
      {" 2", 2},
      {"\t\n 2", 2},
      {"x2", 0},
      {"-7", -7},
      {"+3", 3},
      {"", 0},
      {"12abc", 12},
      {"- 5", 0},
      {"007", 7},
      {"2147483647", INT_MAX},
      {"99999999999", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-99999999999", INT_MIN},
      {"99999999999999999999999999", INT_MAX},
  };
  for (const auto& c : cases) {
    int value = 12345;
    EXPECT_EQ(repository.String2IntValue(c.text, &value), 0);
    EXPECT_EQ(value, c.expected) << '"' << c.text << '"';
  }
  EXPECT_EQ(repository.String2IntValue("5", nullptr), 1);
  // Only the first 999 characters are read.
  EXPECT_EQ(codecs::DecodeInt(std::string(998, ' ') + "42"), 4);
  EXPECT_EQ(codecs::EncodeInt(-1), "-1");
  EXPECT_EQ(codecs::EncodeInt(INT_MIN), "-2147483648");
}

struct TimeCase {
  const char* text;
  long expected;
};

TEST(ValueCodecs, TimesReadAsLocalWallClock) {
  ScopedTimeZone zone(kCentralEurope);
  TestableRepository repository;
  const TimeCase cases[] = {
      // Winter: UTC+1.
      {"2010-03-07 09:05:02", Utc(2010, 3, 7, 8, 5, 2)},
      // Summer: UTC+2, the wall-clock time is kept, also late in the evening.
      {"2010-07-15 12:00:00", Utc(2010, 7, 15, 10, 0, 0)},
      {"2010-07-15 23:30:00", Utc(2010, 7, 15, 21, 30, 0)},
      {"2010-07-15 00:00:00", Utc(2010, 7, 14, 22, 0, 0)},
      // A date alone is midnight; a year alone is 30 November of the year before.
      {"2010-03-07", Utc(2010, 3, 6, 23, 0, 0)},
      {"2010", Utc(2009, 11, 29, 23, 0, 0)},
      // Blanks, signs and more digits than written read as scanf reads them.
      {"2010-03-07 09:05:021", Utc(2010, 3, 7, 8, 5, 21)},
      {"2010-03-07 09:05:02x", Utc(2010, 3, 7, 8, 5, 2)},
      {" 2010-3-7\t9:5:2", Utc(2010, 3, 7, 8, 5, 2)},
      {"2010-03-07 09:-5:02", Utc(2010, 3, 7, 7, 55, 2)},
      {"02010-03-07 09:05:02", Utc(2010, 3, 7, 8, 5, 2)},
      // Out-of-range fields normalise.
      {"2010-02-30 00:00:00", Utc(2010, 3, 1, 23, 0, 0)},
      {"2010-03-07 25:00:00", Utc(2010, 3, 8, 0, 0, 0)},
      // Not a time, or outside the 32-bit range from 1970.
      {"never", 0},
      {"", 0},
      {"1960-01-01 00:00:00", 0},
      {"1970-01-01 00:59:59", 0},
      {"2038-01-19 04:14:07", INT32_MAX},
      {"2038-01-19 04:14:08", 0},
      {"99999999999-01-01", 0},
  };
  kestrine::platform::TimeDecoder decoder;
  for (const TimeCase& c : cases) {
    long value = 12345;
    EXPECT_EQ(repository.String2Time(c.text, &value), 0);
    EXPECT_EQ(value, c.expected) << c.text;
    EXPECT_EQ(codecs::DecodeTime(c.text, decoder), c.expected) << c.text;
  }
  EXPECT_EQ(repository.String2Time("2010", nullptr), 1);
}

TEST(ValueCodecs, TimesWriteAsLocalWallClock) {
  ScopedTimeZone zone(kCentralEurope);
  EXPECT_EQ(codecs::EncodeTime(Utc(2010, 3, 7, 8, 5, 2)), "2010-03-07 09:05:02");
  EXPECT_EQ(codecs::EncodeTime(Utc(2010, 7, 15, 21, 30, 0)), "2010-07-15 23:30:00");
  EXPECT_EQ(codecs::EncodeTime(0), "1970-01-01 01:00:00");
  EXPECT_EQ(codecs::EncodeTime(INT32_MAX), "2038-01-19 04:14:07");
  EXPECT_EQ(codecs::EncodeTime(-1), "");
  EXPECT_EQ(codecs::EncodeTime(static_cast<long>(INT32_MAX) + 1), "");
}

// Every time that has a local form and is not in the repeated hour of the
// autumn change reads back as itself, in both zones' seasons; also where
// daylight-saving time moves the clock by 30 minutes only.
TEST(ValueCodecs, TimesRoundTrip) {
  for (const char* zone : {kCentralEurope, "UTC0", "EST5EDT,M3.2.0,M11.1.0", kLordHowe}) {
    ScopedTimeZone scoped(zone);
    for (long seconds :
         {Utc(1970, 1, 2, 0, 0, 0), Utc(2010, 3, 7, 8, 5, 2), Utc(2010, 7, 15, 21, 59, 59),
          Utc(2024, 2, 29, 12, 0, 0), Utc(2038, 1, 18, 0, 0, 0), Utc(2010, 3, 28, 1, 0, 0),
          Utc(2010, 3, 28, 1, 10, 0), Utc(2010, 11, 2, 0, 45, 0)}) {
      const std::string text = codecs::EncodeTime(seconds);
      EXPECT_EQ(codecs::DecodeTime(text), seconds) << zone << " " << text;
    }
  }
}

TEST(ValueCodecs, DescriptionEscape) {
  EXPECT_EQ(codecs::EscapeDescription("a\r\nb"), "a{CR}{LF}b");
  EXPECT_EQ(codecs::UnescapeDescription("a{CR}{LF}b"), "a\r\nb");
  EXPECT_EQ(codecs::EscapeDescription("\n\n\r"), "{LF}{LF}{CR}");
  // Text that already holds the escapes reads back with line breaks.
  EXPECT_EQ(codecs::UnescapeDescription("literal {CR} and {LF}"), "literal \r and \n");
  EXPECT_EQ(codecs::UnescapeDescription("{cr}{C R}"), "{cr}{C R}");
  EXPECT_EQ(codecs::EscapeDescription(""), "");
  // What is left of an escape never forms one with its neighbours.
  EXPECT_EQ(codecs::UnescapeDescription("{{CR}LF}{C{LF}R}{CR"), "{\rLF}{C\nR}{CR");
}

// Both directions read as replacing one escape everywhere, then the other
// (StrSub's left-to-right replacement), for every text of up to five
// characters made of the escapes' own characters and for longer random ones.
TEST(ValueCodecs, DescriptionEscapeIsTwoReplacements) {
  const std::string alphabet = "{CRLF}\r\n";
  const auto check = [](const std::string& text) {
    std::string escaped = text;
    StrSub(escaped, "\r", "{CR}");
    StrSub(escaped, "\n", "{LF}");
    std::string unescaped = text;
    StrSub(unescaped, "{CR}", "\r");
    StrSub(unescaped, "{LF}", "\n");
    std::string into = "previous contents";
    codecs::UnescapeDescriptionTo(text, &into);
    return codecs::EscapeDescription(text) == escaped &&
           codecs::UnescapeDescription(text) == unescaped && into == unescaped;
  };
  std::vector<std::string> texts = {""};
  for (std::size_t begin = 0, length = 1; length <= 5; ++length) {
    const std::size_t end = texts.size();
    for (std::size_t i = begin; i < end; ++i) {
      for (const char c : alphabet) texts.push_back(texts[i] + c);
    }
    begin = end;
  }
  std::uint64_t state = 12345;
  for (int i = 0; i < 2000; ++i) {
    std::string text;
    for (int n = 6 + i % 40; n > 0; --n) {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      text += alphabet[(state >> 33) % alphabet.size()];
    }
    texts.push_back(text);
  }
  int differing = 0;
  for (const std::string& text : texts) {
    if (!check(text) && ++differing <= 5) ADD_FAILURE() << '"' << text << '"';
  }
  EXPECT_EQ(differing, 0) << "of " << texts.size() << " texts";
}

// A 10 MiB description with a line break every few characters escapes and
// reads back whole (replacing in place made both directions quadratic).
TEST(ValueCodecs, LargeDescriptionRoundTrips) {
  std::string text;
  text.reserve(10 << 20);
  for (int i = 0; text.size() < (10u << 20); ++i) text += i % 3 == 0 ? "line\r\n" : "x{\n";
  const std::string escaped = codecs::EscapeDescription(text);
  EXPECT_EQ(escaped.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(escaped.compare(0, 20, "line{CR}{LF}x{{LF}x{"), 0);
  EXPECT_EQ(codecs::UnescapeDescription(escaped), text);
  std::string copy = escaped;
  EXPECT_EQ(StrSub(copy, "{LF}", "\n"), 0);
  EXPECT_EQ(StrSub(copy, "{CR}", "\r"), 0);
  EXPECT_EQ(copy, text);
}

TEST(ValueWriters, WriteTheValueForms) {
  ScopedTimeZone zone(kCentralEurope);
  TestableRepository repository;
  void* tree = vaskinitree_new_ex("unused", 1);
  void* node = vaskinitree_add_root(tree, "Services");
  const auto value = [&](const char* key) {
    const char* text = vaskinitreenode_get_attrib(node, key);
    return std::string(text != nullptr ? text : "<absent>");
  };
  EXPECT_EQ(repository.Write_StringValue2IniFile(node, "s", " as is;#\\ "), 0);
  EXPECT_EQ(value("s"), " as is;#\\ ");
  EXPECT_EQ(repository.Write_BoolValue2IniFile(node, "t", true), 0);
  EXPECT_EQ(repository.Write_BoolValue2IniFile(node, "f", false), 0);
  EXPECT_EQ(value("t") + value("f"), "10");
  EXPECT_EQ(repository.Write_IntValue2IniFile(node, "i", -42), 0);
  EXPECT_EQ(value("i"), "-42");
  EXPECT_EQ(repository.Write_TimeValue2IniFile(node, "time", Utc(2010, 7, 15, 21, 30, 0)), 0);
  EXPECT_EQ(value("time"), "2010-07-15 23:30:00");
  EXPECT_EQ(repository.Write_TimeValue2IniFile(node, "never", -1), 0);
  EXPECT_EQ(value("never"), "");

  // A missing key or text, or a key the tree refuses, is a failure.
  EXPECT_EQ(repository.Write_StringValue2IniFile(node, nullptr, "x"), 1);
  EXPECT_EQ(repository.Write_StringValue2IniFile(node, "k", nullptr), 1);
  EXPECT_EQ(repository.Write_BoolValue2IniFile(node, nullptr, true), 1);
  EXPECT_EQ(repository.Write_IntValue2IniFile(node, nullptr, 1), 1);
  EXPECT_EQ(repository.Write_TimeValue2IniFile(node, nullptr, 1), 1);
  EXPECT_EQ(repository.Write_StringValue2IniFile(node, "a=b", "x"), 1);
  EXPECT_EQ(repository.Write_IntValue2IniFile(nullptr, "k", 1), 1);
  vaskinitree_delete(tree);
}

}  // namespace
