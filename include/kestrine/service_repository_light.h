// The repository implementation class.
#ifndef KESTRINE_SERVICE_REPOSITORY_LIGHT_H
#define KESTRINE_SERVICE_REPOSITORY_LIGHT_H

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kestrine/export.h"
#include "kestrine/load_report.h"
#include "kestrine/service.h"
#include "kestrine/service_repository.h"

/// The repository: an ordered collection of service records keyed by record
/// name, with loading from and saving to a script's services file and
/// searches by WSDL location.
///
/// Names are ordered and compared byte by byte as unsigned characters,
/// case-sensitive. The repository owns the records it holds (always copies of
/// its own) and deletes them on deletion by name and on destruction. The
/// first record added under a name stays; later ones are refused.
///
/// Statuses: 0 success, 1 null argument or failure, 2 name already held,
/// 3 name not found or services file missing or not openable.
///
/// No exception leaves an operation, the protected steps included: running
/// out of memory gives status 1, as `IServiceRepository` describes.
///
/// Not copyable: two repositories never own the same records. One thread at
/// a time per repository; separate repositories are independent.
class KESTRINE_API CServiceRepositoryLight : public IServiceRepository {
 public:
  CServiceRepositoryLight() noexcept;
  CServiceRepositoryLight(const CServiceRepositoryLight&) = delete;
  CServiceRepositoryLight& operator=(const CServiceRepositoryLight&) = delete;
  /// Deletes every record and releases a tree that is still open. Never throws.
  ~CServiceRepositoryLight() override;

  // ---- Loading -------------------------------------------------------------

  /// Remembers `scriptFolder` (see `GetScriptPath`) and the services file path
  /// (the folder, a backslash unless it ends in one, "WSDL\web_services.ini"),
  /// then loads every service node of that file. Records already held stay;
  /// a node whose name is held is refused. Returns 0 loaded (possibly
  /// nothing), 1 null or empty folder, a tree already open, every node
  /// refused, or memory ran out (the records added before stay); 3 the file
  /// is missing or cannot be parsed (it is never written, and the collection
  /// is left as it was).
  int LoadDataFromScript(const char* scriptFolder) override;

  /// As LoadDataFromScript(scriptFolder), same statuses, and fills `report`
  /// (the caller's; emptied first; may be null) with why the file could not
  /// be loaded and which of its sections loading passed over, all from the
  /// same single read of the file (see kestrine/load_report.h).
  int LoadDataFromScript(const char* scriptFolder, kestrine::LoadReport* report);

  // ---- Lookup by name ------------------------------------------------------

  int GetServiceByName(const char* name, CService* record) override;
  /// The script folder as last given to `LoadDataFromScript`, "" before that.
  const char* GetScriptPath() override;
  /// The services file path derived by the last `LoadDataFromScript`, "" before.
  const char* GetIniFilePath();

  /// Sets *out to the stored record itself (owned by the repository, valid
  /// until it is deleted or the repository destroyed). Changing its name does
  /// not re-file it. Returns 0, 1 (null argument) or 3 (not found; *out kept).
  int GetServicePtrByName(const char* name, CService** out);

  /// Empties `names`, then appends each record's current name in key order.
  /// Returns 0, or 1 for null or when memory runs out (`names` left empty).
  int GetServiceNames(std::vector<std::string>* names);

  /// Copies `source` into `target` through the setters (WSDL backslashes become
  /// forward slashes, the target's ZR identifier is kept, settings groups not
  /// in use arrive empty). Source and target may be the same record.
  /// Returns 0, or 1 for a null argument.
  static int CopyService(CService* source, CService* target);

  // ---- Lookup by WSDL location ---------------------------------------------
  // Results are new copies (every field, as CService's copy constructor makes
  // them) owned by the caller, in name order. A list is emptied first; the
  // pointers it held are dropped, not deleted. A search that fails leaves the
  // list empty and *out null. Backslashes count as forward slashes in
  // locations and endpoints; nothing else is normalised. Returns 0 (also when
  // nothing matches) or 1 (null argument).

  int GetServicesByWSDL(const char* wsdlLocation, std::vector<CService*>* list);
  int GetServicesByWSDLWithName(const char* wsdlLocation, const char* serviceName,
                                std::vector<CService*>* list);
  int GetServicesByWSDLWithNameEndpoint(const char* wsdlLocation, const char* serviceName,
                                        const char* endpoint, std::vector<CService*>* list);
  int GetFirstServiceByWSDL(const char* wsdlLocation, CService** out) override;
  int GetFirstServiceByWSDLWithName(const char* wsdlLocation, const char* serviceName,
                                    CService** out) override;
  int GetFirstServiceByWSDLWithNameEndpoint(const char* wsdlLocation, const char* serviceName,
                                            const char* endpoint, CService** out) override;

  // ---- Saving ----------------------------------------------------------------

  /// Rewrites "<folder>\WSDL\web_services.ini" with every held record, as
  /// Service_1 ... Service_N in name order under one "Services" root. The new
  /// file replaces the old one atomically: on failure the old file is left as
  /// it was. Returns 0, or 1 (null folder, missing folder, a record that could
  /// not be written, or the file could not be saved). Changes no record.
  int SaveServicesToScript(const char* scriptFolder);

  /// Appends `record` as a new node of the existing services file
  /// "<folder>\WSDL\web_services.ini" (no backslash check on the folder) and
  /// stores the node number in *nodeNumber when not null. Returns 0 when the
  /// record is in the file on disk, 1 (null argument, a tree open, or the node
  /// could not be written or saved; the file is left as it was), or 3 (the file
  /// is missing or cannot be parsed; nothing is created or written).
  int SaveServiceToScript(const char* scriptFolder, CService* record, int* nodeNumber);

  /// Appends every one of `records`, in order, as new nodes of the existing
  /// services file, numbered as SaveServiceToScript numbers them one after
  /// the other, in a single atomic save under the file's writers' lock.
  /// Stores the first new node's number in *firstNodeNumber when not null
  /// and the records are saved. Returns 0 (also for no records: the file is
  /// not written), 1 (null folder, a tree open, the lock not had in time, a
  /// node that could not be written, or the file could not be saved; the
  /// file is left as it was) or 3 (the file is missing or cannot be parsed).
  int AppendServicesToScript(const char* scriptFolder, const std::vector<CService>& records,
                             int* firstNodeNumber = nullptr);

  // ---- Editing the file in place ----------------------------------------------
  // Each changes one service node of "<folder>\WSDL\web_services.ini" where it
  // stands, under the file's writers' lock (see kestrine/script_lock.h), and
  // replaces the file atomically: every other line, comments included, stays
  // byte for byte. They work on the file only: the records held by this
  // repository are not changed. A service is found by its "Name" key (a node
  // without one is named " ", as loading names it); a name held by more than
  // one node is refused, not guessed.
  //
  // Statuses: 0 done; 1 null argument, the lock not had in time, a value
  // that cannot be written, or the file cannot be saved (the file is left as
  // it was; kestrine::LastSaveError says why); 2 the new name is held by
  // another node; 3 the file is missing or cannot be parsed, or no node has
  // the name; 4 more than one node has the name.

  /// Sets the node of the service `name` to `record`: writes only the keys
  /// whose values, as loading reads them, change (a value that reads the
  /// same, such as a WSDL location with backslashes, stays as written). The
  /// keys of a group that is off and stays off stay as written, since loading
  /// ignores them; a group the record turns off has its proxy or credential
  /// keys blanked and "ZR_ID" or its UDDI keys removed. A missing key is
  /// inserted, where the writer's key order puts it, only when the record
  /// turns its group on or its value is not what loading gives for a missing
  /// key. "CreatedBy" and "CreationDate" change only when `record` changes
  /// them. When the record's name differs from `name`, the service is renamed
  /// too (status 2 when the new name is held).
  int UpdateServiceInScript(const char* scriptFolder, const char* name, const CService* record);

  /// Many changes in one atomic save, under one hold of the lock and one
  /// read of the file: each of `updates` (a service's name and its new
  /// record) is made as UpdateServiceInScript makes it, in order, each on the
  /// file as the updates before it left it (a rename is seen by the updates
  /// after it); then `additions` are appended as AppendServicesToScript
  /// appends them. All or nothing: when one cannot be made, the file is left
  /// as it was. Statuses as UpdateServiceInScript; when it is not 0 and
  /// `failed` is not null, *failed is the index of the update at fault (0
  /// also for a missing file, which UpdateServiceInScript answers with 3 too),
  /// or updates.size() when the fault is none of theirs (the lock, an
  /// addition, the save). No updates and no additions: 0, nothing written.
  int UpdateServicesInScript(const char* scriptFolder,
                             const std::vector<std::pair<std::string, CService>>& updates,
                             const std::vector<CService>& additions = {},
                             std::size_t* failed = nullptr);

  /// Sets the "Name" key of the service `name` to `newName` (not empty).
  int RenameServiceInScript(const char* scriptFolder, const char* name, const char* newName);

  /// Removes the node of the service `name` with all its lines, then renames
  /// the service nodes after it so that they stay "Service_1" ... "Service_n"
  /// in file order (only their header lines change): an append afterwards
  /// gets the next free number.
  int RemoveServiceFromScript(const char* scriptFolder, const char* name);

 protected:
  using ServiceMap = std::map<std::string, std::unique_ptr<CService>>;

  // ---- Collection --------------------------------------------------------------

  /// Stores a copy (`CService::CopyFrom`) of `record` under its name.
  /// Returns 0, 1 (null, or memory ran out; nothing changes) or 2 (name
  /// already held; nothing changes).
  int AddService(const CService* record);
  int GetServiceByNameInternal(const char* name, CService** out);
  /// Deletes the record held under `name`. Returns 0, 1 (null) or 3.
  int DeleteServiceByNameInternal(const char* name);
  /// Deletes every record. Returns 0.
  int CleanUp();
  /// *out = whether the two records' names differ. Returns 0, or 1 for null.
  int ToReplaceService(const CService* existing, const CService* candidate, bool* out);

  // ---- Value codecs ------------------------------------------------------------

  /// Reads a local "YYYY-MM-DD hh:mm:ss" time; text that is no valid time in
  /// the 32-bit range stores 0. Returns 1 for a null output place, else 0.
  int String2Time(std::string text, long* out) const;
  /// Reads the leading decimal number (0 when none; saturates at the 32-bit
  /// limits). Returns 1 for a null output place, else 0.
  int String2IntValue(std::string text, int* out) const;

  // Writers of one key of a service node, in the value forms of the services
  // file. Each returns 1 for a null key (or null text), 1 when the INI tree
  // refuses the key or memory runs out, else 0. A time without a local form
  // is written empty.
  int Write_StringValue2IniFile(void* node, const char* key, const char* value) const;
  int Write_BoolValue2IniFile(void* node, const char* key, bool value) const;
  int Write_IntValue2IniFile(void* node, const char* key, int value) const;
  int Write_TimeValue2IniFile(void* node, const char* key, long value) const;

  // ---- Loading steps -------------------------------------------------------------

  int LoadServicesFromFile(const char* iniFilePath);
  /// Fills `record` from a service node. The connection settings and the JMS
  /// transport are each read as one unit: when memory runs out within one,
  /// the record goes without it (without the JMS transport too, for the
  /// connection settings) and the status is still 0. Returns 1 for a null
  /// argument or when memory runs out elsewhere (the record may then be
  /// partly filled), else 0.
  int LoadSingleServiceData(void* node, CService* record);

  // ---- Saving steps ----------------------------------------------------------------

  /// Removes the file; 0 when removed or absent, 1 for null or failure.
  int DeleteExistingFile(const char* iniFilePath);
  /// Writes a file holding only an empty "Services" root. Returns 0 or 1.
  int SaveInitialDataToIniFile(const char* iniFilePath);
  /// n = number of children of the "Services" root plus one. Returns 0.
  int GetCurrentServiceIndex(void* root, int& n) const;
  /// Adds node "Service_<n>" under `root`, writes the record's keys into it and
  /// saves the open tree to `iniFilePath`. Returns 0 or 1.
  int Save_SingleServiceDataToFile(const char* iniFilePath, void* root, int n,
                                   const CService* record) const;
  /// Writes the record's keys into `node` in the file's key order; stops at
  /// the first failure. Returns 0 or 1.
  int Write_ServiceNode(void* node, const CService* record) const;

  // ---- Searches ----------------------------------------------------------------------

  /// *out = whether the two locations are equal with every backslash taken as
  /// a forward slash. Returns 0, or 1 for a null argument (*out untouched).
  int LocationsEqual(const char* first, const char* second, bool* out) const;

  /// The open INI tree during a load or save; null when none is open.
  void* TreeHandle = nullptr;
  std::string ScriptPath;
  std::string IniFilePath;
  ServiceMap Services;

 private:
  /// LoadServicesFromFile, filling `report` when not null.
  int ReadServicesFile(const char* iniFilePath, kestrine::LoadReport* report);
  int AppendServiceNode(void* root, int n, const CService* record) const;
  struct SearchCriteria;
  int Matches(const SearchCriteria& criteria, const CService& stored, bool* out) const;
  int CollectMatches(const SearchCriteria& criteria, std::vector<CService*>* list) const;
  int TakeFirstMatch(const SearchCriteria& criteria, CService** out);
};

#endif  // KESTRINE_SERVICE_REPOSITORY_LIGHT_H
