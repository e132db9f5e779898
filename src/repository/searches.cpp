// Searches of the collection by WSDL location, service name and endpoint.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "kestrine/service_repository_light.h"

// What one search compares. A criterion that is not used has its flag off;
// a used criterion may still be null, which the comparison reports.
struct CServiceRepositoryLight::SearchCriteria {
  const char* wsdlLocation;
  const char* serviceName;
  bool useServiceName;
  const char* endpoint;
  bool useEndpoint;
};

namespace {

char Slashed(char c) { return c == '\\' ? '/' : c; }

// Deletes the records of a list that belongs to this operation.
void DeleteAll(std::vector<CService*>& list, std::size_t from = 0) {
  for (std::size_t i = from; i < list.size(); ++i) std::unique_ptr<CService> owned(list[i]);
  list.resize(std::min(from, list.size()));
}

}  // namespace

int CServiceRepositoryLight::LocationsEqual(const char* first, const char* second,
                                            bool* out) const {
  if (first == nullptr || second == nullptr || out == nullptr) return 1;
  *out = false;
  // Equal byte for byte once every backslash is taken as a forward slash.
  // The replacement keeps lengths, so the texts are compared in place.
  const std::size_t length = std::strlen(first);
  if (std::strlen(second) != length) return 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (Slashed(first[i]) != Slashed(second[i])) return 0;
  }
  *out = true;
  return 0;
}

int CServiceRepositoryLight::CollectMatches(const SearchCriteria& criteria,
                                            std::vector<CService*>* list) const {
  list->clear();  // the caller owns what the list held; nothing is deleted
  for (const auto& entry : Services) {
    const CService* stored = entry.second.get();
    if (stored == nullptr) return 1;
    // Every comparison is made for every record, so that a bad argument is
    // reported whatever the record holds.
    bool nameEqual = true;
    if (criteria.useServiceName) {
      nameEqual = std::strcmp(criteria.serviceName, stored->GetServiceName()) == 0;
    }
    bool locationEqual = false;
    int status = LocationsEqual(criteria.wsdlLocation, stored->GetWSDLLocation(), &locationEqual);
    if (status != 0) return status;
    bool endpointEqual = true;
    if (criteria.useEndpoint) {
      status = LocationsEqual(criteria.endpoint, stored->GetServiceAddress(), &endpointEqual);
      if (status != 0) return status;
    }
    if (!(nameEqual && locationEqual && endpointEqual)) continue;
    try {
      auto copy = std::make_unique<CService>();
      *copy = *stored;
      list->push_back(copy.get());
      copy.release();
    } catch (const std::bad_alloc&) {
      return 1;
    }
  }
  return 0;
}

int CServiceRepositoryLight::GetServicesByWSDL(const char* wsdlLocation,
                                               std::vector<CService*>* list) {
  if (list == nullptr) return 1;
  return CollectMatches({wsdlLocation, nullptr, false, nullptr, false}, list);
}

int CServiceRepositoryLight::GetServicesByWSDLWithName(const char* wsdlLocation,
                                                       const char* serviceName,
                                                       std::vector<CService*>* list) {
  if (list == nullptr || serviceName == nullptr) return 1;
  return CollectMatches({wsdlLocation, serviceName, true, nullptr, false}, list);
}

int CServiceRepositoryLight::GetServicesByWSDLWithNameEndpoint(const char* wsdlLocation,
                                                               const char* serviceName,
                                                               const char* endpoint,
                                                               std::vector<CService*>* list) {
  if (list == nullptr || serviceName == nullptr) return 1;
  return CollectMatches({wsdlLocation, serviceName, true, endpoint, true}, list);
}

int CServiceRepositoryLight::TakeFirstMatch(const SearchCriteria& criteria, CService** out) {
  *out = nullptr;
  std::vector<CService*> matches;
  const int status = CollectMatches(criteria, &matches);
  if (status != 0) {
    DeleteAll(matches);
    return status;
  }
  if (matches.empty()) return 0;
  *out = matches.front();
  DeleteAll(matches, 1);
  return 0;
}

int CServiceRepositoryLight::GetFirstServiceByWSDL(const char* wsdlLocation, CService** out) {
  if (wsdlLocation == nullptr || out == nullptr) return 1;
  return TakeFirstMatch({wsdlLocation, nullptr, false, nullptr, false}, out);
}

int CServiceRepositoryLight::GetFirstServiceByWSDLWithName(const char* wsdlLocation,
                                                           const char* serviceName,
                                                           CService** out) {
  if (wsdlLocation == nullptr || serviceName == nullptr || out == nullptr) return 1;
  return TakeFirstMatch({wsdlLocation, serviceName, true, nullptr, false}, out);
}

int CServiceRepositoryLight::GetFirstServiceByWSDLWithNameEndpoint(const char* wsdlLocation,
                                                                   const char* serviceName,
                                                                   const char* endpoint,
                                                                   CService** out) {
  if (wsdlLocation == nullptr || serviceName == nullptr || endpoint == nullptr || out == nullptr) {
    return 1;
  }
  return TakeFirstMatch({wsdlLocation, serviceName, true, endpoint, true}, out);
}
