// The repository interface and its factory.
#ifndef KESTRINE_SERVICE_REPOSITORY_H
#define KESTRINE_SERVICE_REPOSITORY_H

#include "kestrine/export.h"
#include "kestrine/service.h"

/// The repository of a script's service records, as callers hold it.
///
/// Statuses of every operation: 0 success (a search that finds nothing
/// succeeds too), 1 a required pointer argument is null or another failure,
/// 2 a record of that name is already held, 3 no record has that name, or the
/// services file is missing or cannot be opened.
///
/// No exception leaves an operation. When memory runs out, the operation
/// returns 1 and releases what it had made: a services file it was saving is
/// left byte for byte as it was, the collection as it was or holding only
/// whole records, and a search hands out nothing.
class KESTRINE_API IServiceRepository {
 public:
  IServiceRepository() = default;
  IServiceRepository(const IServiceRepository&) = default;
  IServiceRepository& operator=(const IServiceRepository&) = default;

  /// Destroys the repository and every record it holds.
  virtual ~IServiceRepository() = default;

  /// Loads the services of the script folder `scriptFolder` (the file
  /// "WSDL\web_services.ini" below it) into the collection, keeping the
  /// records already held. Returns 0, 1 or 3.
  virtual int LoadDataFromScript(const char* scriptFolder) = 0;

  /// First record (in name order) whose WSDL location, service name and
  /// endpoint match; *out becomes a new copy owned by the caller, or null when
  /// none matches. Returns 0 or 1.
  virtual int GetFirstServiceByWSDLWithNameEndpoint(const char* wsdlLocation,
                                                    const char* serviceName, const char* endpoint,
                                                    CService** out) = 0;

  /// As above, matching WSDL location and service name.
  virtual int GetFirstServiceByWSDLWithName(const char* wsdlLocation, const char* serviceName,
                                            CService** out) = 0;

  /// As above, matching the WSDL location only.
  virtual int GetFirstServiceByWSDL(const char* wsdlLocation, CService** out) = 0;

  /// Overwrites the caller's `record` with a copy (`CService::CopyFrom`) of the
  /// record held under `name`. Returns 0, 1 (null argument, or memory ran out
  /// part-way through the copy) or 3 (not found; the record is left as it
  /// was).
  virtual int GetServiceByName(const char* name, CService* record) = 0;

  /// The script folder exactly as last given to `LoadDataFromScript`; empty
  /// before that. Never null; owned by the repository.
  virtual const char* GetScriptPath() = 0;
};

/// A new, empty repository on the heap, or null when memory runs out (no
/// exception leaves the factory). The caller owns it and destroys it with
/// delete through the interface.
KESTRINE_API IServiceRepository* CreateServiceRepositoryInstance();

#endif  // KESTRINE_SERVICE_REPOSITORY_H
