// Stamping a new record with its creator and dates.
#include <kestrine/kestrine.h>

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

#include "sys_fault.h"

namespace {

using kestrine::testing::ScopedFault;
using kestrine::testing::SysCall;

CService Prepared() {
  CService record;
  record.SetName("Orders");
  record.SetCreatedBy("previous");
  record.SetLocationType(LocationUDDI);
  record.SetLastSyncWithWSDLZROrig(123);
  record.SetKeepUpToDate(true);
  record.SetOverrideServiceAddress(true);
  record.SetLinkedToZR(true);
  record.SetZRID(7);
  record.SetWSDLLocation("http://host/x?wsdl");
  record.SetUseProxySettings(true);
  record.SetProxyServerName("proxy");
  return record;
}

void ExpectStamped(const CService& record, long before, long after) {
  EXPECT_GE(record.GetCreationDate(), before);
  EXPECT_LE(record.GetCreationDate(), after);
  EXPECT_EQ(record.GetCreationDate(), record.GetLastSyncWithWSDL());
  EXPECT_FALSE(record.GetKeepUpToDate());
  EXPECT_FALSE(record.GetOverrideServiceAddress());
  EXPECT_FALSE(record.GetLinkedToZR());
  EXPECT_EQ(record.GetZRID(), -1);
  // Untouched fields.
  EXPECT_STREQ(record.GetName(), "Orders");
  EXPECT_EQ(record.GetLocationType(), LocationUDDI);
  EXPECT_EQ(record.GetLastSyncWithWSDLZROrig(), 123);
  EXPECT_STREQ(record.GetWSDLLocation(), "http://host/x?wsdl");
  EXPECT_STREQ(record.GetProxyServerName(), "proxy");
  EXPECT_TRUE(record.GetUseProxySettings());
}

TEST(InitializeNewService, StampsCreatorAndDates) {
  CService record = Prepared();
  const long before = static_cast<long>(std::time(nullptr));
  record.InitializeNewService();
  const long after = static_cast<long>(std::time(nullptr));
  ExpectStamped(record, before, after);
  const struct passwd* entry = ::getpwuid(::geteuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_STREQ(record.GetCreatedBy(), entry->pw_name);
}

// A failed user-database query keeps the creator; dates and flags are set.
TEST(InitializeNewService, FailedLoginQueryKeepsCreator) {
  for (int error : {EIO, ENOMEM, 0}) {
    CService record = Prepared();
    // Error 0 with no entry: the user has no entry in the database.
    ScopedFault fault({SysCall::Getpwuid_r, error});
    const long before = static_cast<long>(std::time(nullptr));
    record.InitializeNewService();
    const long after = static_cast<long>(std::time(nullptr));
    EXPECT_STREQ(record.GetCreatedBy(), "previous") << error;
    ExpectStamped(record, before, after);
  }
}

}  // namespace
