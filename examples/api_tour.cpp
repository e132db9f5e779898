// The C++ API in five minutes: kestrine_api_tour SCRIPT_FOLDER, for example
// a copy of examples/scripts/Orders. It changes the folder's services file.
#include <kestrine/kestrine.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kestrine_api_tour SCRIPT_FOLDER\n");
    return 2;
  }
  const char* script = argv[1];

  // A repository owns the records it holds. It cannot be copied.
  CServiceRepositoryLight repository;

  // Load the services of a script folder: its file WSDL\web_services.ini.
  if (repository.LoadDataFromScript(script) != 0) {
    std::fprintf(stderr, "%s: no services file, or it cannot be parsed\n", script);  // status 3
    return 1;
  }

  // Every name, in order.
  std::vector<std::string> names;
  repository.GetServiceNames(&names);
  for (const std::string& name : names) std::printf("%s\n", name.c_str());

  // By name: a copy into a record of your own (3 when the name is not held) ...
  CService entry;
  if (repository.GetServiceByName("OrderEntry", &entry) == 0) {
    std::printf("OrderEntry's endpoint: %s\n", entry.GetServiceAddress());
  }
  // ... or the stored record itself, which stays the repository's.
  CService* stored = nullptr;
  if (repository.GetServicePtrByName("OrderStatus", &stored) == 0) {
    stored->SetDescription("Status of an order by order number.");
  }

  // By WSDL location: new copies that belong to the caller.
  std::vector<CService*> found;
  repository.GetServicesByWSDL("http://erp.example.com/orders/OrderEntry?wsdl", &found);
  std::vector<std::unique_ptr<CService>> matches(found.begin(), found.end());
  CService* first = nullptr;
  repository.GetFirstServiceByWSDLWithName("http://erp.example.com/orders/OrderEntry?wsdl",
                                           "OrderEntryService", &first);
  std::unique_ptr<CService> firstMatch(first);  // null when nothing matched
  std::printf("%zu services use the OrderEntry WSDL\n", matches.size());

  // Rewrite the file with every record held, in one atomic step.
  if (repository.SaveServicesToScript(script) != 0) return 1;

  // Append a new record to the file as node Service_<n>.
  CService payments;
  payments.SetName("Payments");
  payments.SetWSDLLocation("C:\\wsdl\\payments.wsdl");  // kept as C:/wsdl/payments.wsdl
  payments.SetServiceName("PaymentService");
  payments.InitializeNewService();  // creator, creation and sync dates
  int node = 0;
  if (repository.SaveServiceToScript(script, &payments, &node) != 0) return 1;
  std::printf("Payments appended as Service_%d\n", node);
  return 0;
}
