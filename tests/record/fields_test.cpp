// The field table: every key of a service node round-trips through its
// access and its text form, the writer writes the keys in the table's order
// and loading reads each back, and the file format's page lists them so.
#include <kestrine/kestrine.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "record_expectations.h"
#include "temp_script.h"
#include "time_zone.h"

namespace kestrine::testing {
namespace {

// Every key in the writer's order, with a new record's value and another
// value, both as the writer writes them (times in UTC).
struct Sample {
  const char* key;
  const char* fresh;
  const char* other;
};

constexpr char kEpoch[] = "1970-01-01 00:00:00";

const Sample kSamples[] = {
    {"LinkedToZR", "0", "1"},
    {"ZR_ID", "-1", "4711"},
    {"Name", " ", "Orders"},
    {"CreatedBy", "", "alice"},
    {"Description", "", "line 1{CR}{LF}line 2"},
    {"ServiceName", "", "OrderService"},
    {"WSDLLocation", "", "C:/wsdl/orders.wsdl"},
    {"ServiceAddress", "", "http://host/orders"},
    {"LocationType", "-1", "2"},
    {"UDDIServer", "", "uddi.example"},
    {"UDDIVersion", "-1", "3"},
    {"UDDIServiceKey", "", "uuid:1"},
    {"KeepUpToDate", "0", "1"},
    {"CreationDate", kEpoch, "1970-01-01 00:00:10"},
    {"LastSyncWithWSDL", kEpoch, "1970-01-01 00:00:20"},
    {"LastSyncWithWSDLZROrininal", kEpoch, "1970-01-01 00:00:30"},
    {"OverrideServiceAddress", "0", "1"},
    {"UseProxy", "0", "1"},
    {"ProxyUserName", "", "pu"},
    {"ProxyServerName", "", "proxy"},
    {"ProxyPortNumber", "", "3128"},
    {"ProxyPassword", "", "pp"},
    {"UseSecurity", "0", "1"},
    {"Password", "", "secret;#1"},
    {"UserName", "", "user"},
    {"UseJmsTransport", "0", "1"},
    {"JmsRequestQueue", "", "rq"},
    {"JmsResponseQueue", "", "rs"},
};

std::string TextOf(const CService& record, const Field& field) {
  std::string text;
  EXPECT_EQ(GetFieldText(record, field, &text), 0);
  return text;
}

// Each key's field moves alone, from text and through its typed access.
TEST(FieldTable, EveryKeyRoundTrips) {
  ScopedTimeZone zone("UTC0");
  ASSERT_EQ(FieldCount(), std::size(kSamples));
  EXPECT_EQ(FieldAt(FieldCount()), nullptr);
  EXPECT_EQ(FindField("name"), nullptr);
  const CService fresh;
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    const Field& field = *FieldAt(i);
    const Sample& sample = kSamples[i];
    SCOPED_TRACE(sample.key);
    ASSERT_STREQ(field.key, sample.key);
    EXPECT_EQ(FindField(sample.key), &field);
    EXPECT_EQ(TextOf(fresh, field), sample.fresh);

    CService set;
    ASSERT_EQ(SetFieldText(set, field, sample.other), 0);
    EXPECT_EQ(TextOf(set, field), sample.other);
    for (std::size_t j = 0; j < FieldCount(); ++j) {
      if (j == i) continue;
      EXPECT_EQ(ValueText(set, *FieldAt(j)), ValueText(fresh, *FieldAt(j))) << FieldAt(j)->key;
    }
    CService copy;
    const FieldAccess& access = field.access;
    if (access.getText != nullptr) access.setText(copy, access.getText(set));
    if (access.getFlag != nullptr) access.setFlag(copy, access.getFlag(set));
    if (access.getNumber != nullptr) access.setNumber(copy, access.getNumber(set));
    EXPECT_EQ(TextOf(copy, field), sample.other);
  }
  CService scratch;
  EXPECT_EQ(GetFieldText(fresh, *FieldAt(0), nullptr), 1);
  EXPECT_EQ(SetFieldText(scratch, *FieldAt(0), nullptr), 1);
}

// A node whose groups are all on holds every key in the table's order, and
// loads back into every value.
TEST(FieldTable, WriterAndLoadingFollowTheTable) {
  ScopedTimeZone zone("UTC0");
  CService record;
  std::string expected = "[Services]\n\n[Services\\Service_1]\n";
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    ASSERT_EQ(SetFieldText(record, *FieldAt(i), kSamples[i].other), 0);
    expected += std::string(kSamples[i].key) + '=' + kSamples[i].other + '\n';
  }
  TempScript script;
  script.Write("");
  CServiceRepositoryLight repository;
  ASSERT_EQ(repository.SaveServiceToScript(script.c_str(), &record, nullptr), 0);
  EXPECT_EQ(script.Read(), expected);

  ASSERT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
  CService loaded;
  ASSERT_EQ(repository.GetServiceByName("Orders", &loaded), 0);
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    EXPECT_EQ(TextOf(loaded, *FieldAt(i)), kSamples[i].other) << kSamples[i].key;
  }
}

// The keys' table of the file format's page names every key, in order.
TEST(FieldTable, FileFormatPageListsEveryKey) {
  std::ifstream page(KESTRINE_FILE_FORMAT_PAGE);
  ASSERT_TRUE(page) << KESTRINE_FILE_FORMAT_PAGE;
  std::vector<std::string> listed;
  bool inKeys = false;
  for (std::string line; std::getline(page, line);) {
    if (line.rfind("## ", 0) == 0) inKeys = line == "## Keys of a service node";
    if (inKeys && line.rfind("| `", 0) == 0)
      listed.push_back(line.substr(3, line.find('`', 3) - 3));
  }
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < FieldCount(); ++i) keys.emplace_back(FieldAt(i)->key);
  EXPECT_EQ(listed, keys);
}

}  // namespace
}  // namespace kestrine::testing
