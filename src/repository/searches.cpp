// Searches of the collection by WSDL location, service name and endpoint.
#include <cstring>
#include <memory>

#include "kestrine/locations.h"
#include "kestrine/service_repository_light.h"
#include "kestrine/status.h"
#include "repository/guarded.h"

// What one search compares. A criterion that is not used has its flag off;
// a used criterion may still be null, which the comparison reports.
struct CServiceRepositoryLight::SearchCriteria {
  const char* wsdlLocation;
  const char* serviceName;
  bool useServiceName;
  const char* endpoint;
  bool useEndpoint;
};

int CServiceRepositoryLight::LocationsEqual(const char* first, const char* second,
                                            bool* out) const {
  if (first == nullptr || second == nullptr || out == nullptr) return kestrine::kFailure;
  *out = kestrine::SameLocation(first, second);
  return kestrine::kOk;
}

int CServiceRepositoryLight::Matches(const SearchCriteria& criteria, const CService& stored,
                                     bool* out) const {
  // Every comparison is made, so that a bad argument is reported whatever the
  // record holds.
  bool nameEqual = true;
  if (criteria.useServiceName) {
    nameEqual = std::strcmp(criteria.serviceName, stored.GetServiceName()) == 0;
  }
  bool locationEqual = false;
  int status = LocationsEqual(criteria.wsdlLocation, stored.GetWSDLLocation(), &locationEqual);
  if (status != 0) return status;
  bool endpointEqual = true;
  if (criteria.useEndpoint) {
    status = LocationsEqual(criteria.endpoint, stored.GetServiceAddress(), &endpointEqual);
    if (status != 0) return status;
  }
  *out = nameEqual && locationEqual && endpointEqual;
  return kestrine::kOk;
}

int CServiceRepositoryLight::CollectMatches(const SearchCriteria& criteria,
                                            std::vector<CService*>* list) const {
  list->clear();  // the caller owns what the list held; nothing is deleted
  // The copies stay owned here until every one is made: a search that fails
  // part-way hands out none.
  std::vector<std::unique_ptr<CService>> copies;
  for (const auto& entry : Services) {
    if (!entry.second) return kestrine::kFailure;
    bool match = false;
    if (const int status = Matches(criteria, *entry.second, &match); status != 0) return status;
    if (match) copies.push_back(std::make_unique<CService>(*entry.second));
  }
  list->reserve(copies.size());
  for (auto& copy : copies) list->push_back(copy.release());
  return kestrine::kOk;
}

int CServiceRepositoryLight::GetServicesByWSDL(const char* wsdlLocation,
                                               std::vector<CService*>* list) {
  if (list == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    return CollectMatches({wsdlLocation, nullptr, false, nullptr, false}, list);
  });
}

int CServiceRepositoryLight::GetServicesByWSDLWithName(const char* wsdlLocation,
                                                       const char* serviceName,
                                                       std::vector<CService*>* list) {
  if (list == nullptr || serviceName == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    return CollectMatches({wsdlLocation, serviceName, true, nullptr, false}, list);
  });
}

int CServiceRepositoryLight::GetServicesByWSDLWithNameEndpoint(const char* wsdlLocation,
                                                               const char* serviceName,
                                                               const char* endpoint,
                                                               std::vector<CService*>* list) {
  if (list == nullptr || serviceName == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    return CollectMatches({wsdlLocation, serviceName, true, endpoint, true}, list);
  });
}

int CServiceRepositoryLight::TakeFirstMatch(const SearchCriteria& criteria, CService** out) {
  *out = nullptr;
  for (const auto& entry : Services) {
    if (!entry.second) return kestrine::kFailure;
    bool match = false;
    if (const int status = Matches(criteria, *entry.second, &match); status != 0) return status;
    if (match) {
      *out = std::make_unique<CService>(*entry.second).release();
      return kestrine::kOk;
    }
  }
  return kestrine::kOk;
}

int CServiceRepositoryLight::GetFirstServiceByWSDL(const char* wsdlLocation, CService** out) {
  if (wsdlLocation == nullptr || out == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    return TakeFirstMatch({wsdlLocation, nullptr, false, nullptr, false}, out);
  });
}

int CServiceRepositoryLight::GetFirstServiceByWSDLWithName(const char* wsdlLocation,
                                                           const char* serviceName,
                                                           CService** out) {
  if (wsdlLocation == nullptr || serviceName == nullptr || out == nullptr) {
    return kestrine::kFailure;
  }
  return kestrine::Guarded([&] {
    return TakeFirstMatch({wsdlLocation, serviceName, true, nullptr, false}, out);
  });
}

int CServiceRepositoryLight::GetFirstServiceByWSDLWithNameEndpoint(const char* wsdlLocation,
                                                                   const char* serviceName,
                                                                   const char* endpoint,
                                                                   CService** out) {
  if (wsdlLocation == nullptr || serviceName == nullptr || endpoint == nullptr || out == nullptr) {
    return kestrine::kFailure;
  }
  return kestrine::Guarded([&] {
    return TakeFirstMatch({wsdlLocation, serviceName, true, endpoint, true}, out);
  });
}
