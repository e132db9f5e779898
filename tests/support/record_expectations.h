// Field-by-field comparison of two service records, for tests.
#ifndef KESTRINE_TESTS_SUPPORT_RECORD_EXPECTATIONS_H
#define KESTRINE_TESTS_SUPPORT_RECORD_EXPECTATIONS_H

#include <gtest/gtest.h>
#include <kestrine/kestrine.h>

namespace kestrine::testing {

/// Every field that is not a connection setting.
inline void ExpectSamePlainFields(const CService& a, const CService& b) {
  EXPECT_EQ(a.GetLinkedToZR(), b.GetLinkedToZR());
  EXPECT_EQ(a.GetZRID(), b.GetZRID());
  EXPECT_STREQ(a.GetName(), b.GetName());
  EXPECT_STREQ(a.GetDescription(), b.GetDescription());
  EXPECT_STREQ(a.GetCreatedBy(), b.GetCreatedBy());
  EXPECT_EQ(a.GetCreationDate(), b.GetCreationDate());
  EXPECT_EQ(a.GetLastSyncWithWSDL(), b.GetLastSyncWithWSDL());
  EXPECT_EQ(a.GetLastSyncWithWSDLZROrig(), b.GetLastSyncWithWSDLZROrig());
  EXPECT_EQ(a.GetLocationType(), b.GetLocationType());
  EXPECT_EQ(a.GetKeepUpToDate(), b.GetKeepUpToDate());
  EXPECT_STREQ(a.GetWSDLLocation(), b.GetWSDLLocation());
  EXPECT_STREQ(a.GetServiceName(), b.GetServiceName());
  EXPECT_STREQ(a.GetServiceAddress(), b.GetServiceAddress());
  EXPECT_STREQ(a.GetUDDIServer(), b.GetUDDIServer());
  EXPECT_EQ(a.GetUDDIVersion(), b.GetUDDIVersion());
  EXPECT_STREQ(a.GetUDDIServiceKey(), b.GetUDDIServiceKey());
  EXPECT_EQ(a.GetOverrideServiceAddress(), b.GetOverrideServiceAddress());
  EXPECT_STREQ(a.GetJMSRequestQueue(), b.GetJMSRequestQueue());
  EXPECT_STREQ(a.GetJMSResponseQueue(), b.GetJMSResponseQueue());
  EXPECT_EQ(a.GetIsJMSTransport(), b.GetIsJMSTransport());
}

/// Every field, the connection settings included.
inline void ExpectSameRecord(const CService& a, const CService& b) {
  ExpectSamePlainFields(a, b);
  EXPECT_EQ(a.GetUseSecuritySettings(), b.GetUseSecuritySettings());
  EXPECT_STREQ(a.GetUserName(), b.GetUserName());
  EXPECT_STREQ(a.GetUserPassword(), b.GetUserPassword());
  EXPECT_EQ(a.GetUseProxySettings(), b.GetUseProxySettings());
  EXPECT_STREQ(a.GetProxyUserName(), b.GetProxyUserName());
  EXPECT_STREQ(a.GetProxyPassword(), b.GetProxyPassword());
  EXPECT_STREQ(a.GetProxyServerName(), b.GetProxyServerName());
  EXPECT_STREQ(a.GetProxyPortNum(), b.GetProxyPortNum());
}

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_SUPPORT_RECORD_EXPECTATIONS_H
