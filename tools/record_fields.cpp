#include "record_fields.h"

namespace kestrine::tool {

void VisitFields(const CService& record, FieldVisitor& visitor) {
  visitor.Text("Name", record.GetName());
  visitor.Text("WSDLLocation", record.GetWSDLLocation());
  visitor.Text("ServiceName", record.GetServiceName());
  visitor.Text("ServiceAddress", record.GetServiceAddress());
  visitor.Number("LocationType", record.GetLocationType());
  visitor.Text("UDDIServer", record.GetUDDIServer());
  visitor.Number("UDDIVersion", record.GetUDDIVersion());
  visitor.Text("UDDIServiceKey", record.GetUDDIServiceKey());
  visitor.Flag("LinkedToZR", record.GetLinkedToZR());
  visitor.Number("ZRID", record.GetZRID());
  visitor.Text("Description", record.GetDescription());
  visitor.Text("CreatedBy", record.GetCreatedBy());
  visitor.Time("CreationDate", record.GetCreationDate());
  visitor.Time("LastSyncWithWSDL", record.GetLastSyncWithWSDL());
  visitor.Time("LastSyncWithWSDLZROrig", record.GetLastSyncWithWSDLZROrig());
  visitor.Flag("KeepUpToDate", record.GetKeepUpToDate());
  visitor.Flag("OverrideServiceAddress", record.GetOverrideServiceAddress());
  visitor.Flag("UseSecuritySettings", record.GetUseSecuritySettings());
  visitor.Text("UserName", record.GetUserName());
  visitor.Secret("UserPassword", record.GetUserPassword());
  visitor.Flag("UseProxySettings", record.GetUseProxySettings());
  visitor.Text("ProxyServerName", record.GetProxyServerName());
  visitor.Text("ProxyPortNum", record.GetProxyPortNum());
  visitor.Text("ProxyUserName", record.GetProxyUserName());
  visitor.Secret("ProxyPassword", record.GetProxyPassword());
  visitor.Flag("IsJMSTransport", record.GetIsJMSTransport());
  visitor.Text("JMSRequestQueue", record.GetJMSRequestQueue());
  visitor.Text("JMSResponseQueue", record.GetJMSResponseQueue());
}

}  // namespace kestrine::tool
