// Builds a few service records, copies them with the three copy rules of the
// library and prints what each copy holds.
//
//   copy assignment        every field, texts of unused settings groups too
//   CService::CopyFrom     every field; a settings group not in use arrives empty
//   CopyService            through the setters: the target keeps its ZR id and
//                          the WSDL location gets forward slashes
#include <kestrine/kestrine.h>

#include <cstdio>

namespace {

void Print(const char* title, const CService& record) {
  std::printf("%s\n", title);
  std::printf("  Name:            %s\n", record.GetName());
  std::printf("  WSDLLocation:    %s\n", record.GetWSDLLocation());
  std::printf("  ServiceName:     %s\n", record.GetServiceName());
  std::printf("  ServiceAddress:  %s\n", record.GetServiceAddress());
  std::printf("  ZRID:            %d (linked: %s)\n", record.GetZRID(),
              record.GetLinkedToZR() ? "yes" : "no");
  std::printf("  UseProxy:        %s, server \"%s\" port \"%s\"\n",
              record.GetUseProxySettings() ? "yes" : "no", record.GetProxyServerName(),
              record.GetProxyPortNum());
  std::printf("  UseSecurity:     %s, user \"%s\"\n",
              record.GetUseSecuritySettings() ? "yes" : "no", record.GetUserName());
  std::printf("  JMS:             %s, request \"%s\" response \"%s\"\n",
              record.GetIsJMSTransport() ? "yes" : "no", record.GetJMSRequestQueue(),
              record.GetJMSResponseQueue());
}

}  // namespace

int main() {
  CService orders;
  orders.InitializeNewService();
  orders.SetName("Orders");
  orders.SetWSDLLocation("C:\\wsdl\\orders.wsdl");
  orders.SetServiceName("OrderService");
  orders.SetServiceAddress("http://shop.example/orders");
  orders.SetLinkedToZR(true);
  orders.SetZRID(4711);
  // Proxy texts are filled but the proxy is not in use.
  orders.SetProxyServerName("proxy.example");
  orders.SetProxyPortNum("3128");
  orders.SetUseProxySettings(false);
  orders.SetUseSecuritySettings(true);
  orders.SetUserName("shop");
  orders.SetUserPassword("s3cret;#");

  CService billing;
  billing.SetName("Billing");
  billing.SetWSDLLocation("http://billing.example/service?wsdl");
  billing.SetIsJMSTransport(true);
  billing.SetJMSRequestQueue("queue.billing.request");
  billing.SetJMSResponseQueue("queue.billing.response");

  Print("Orders (original):", orders);
  Print("Billing (original):", billing);

  CService assigned;
  assigned = orders;
  Print("Copy assignment of Orders (keeps the unused proxy texts):", assigned);

  CService copied;
  copied.CopyFrom(&orders);
  Print("CService::CopyFrom of Orders (unused proxy group arrives empty):", copied);

  CService target;
  target.SetZRID(99);
  CServiceRepositoryLight::CopyService(&orders, &target);
  Print("CopyService of Orders onto a record with ZR id 99 (keeps 99):", target);

  CService jms;
  jms = billing;
  jms.ClearJmsFields();
  Print("Billing after ClearJmsFields:", jms);
  return 0;
}
