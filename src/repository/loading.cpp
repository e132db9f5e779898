// Loading a script's services file into the collection.
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kestrine/service_repository_light.h"
#include "kestrine/status.h"
#include "platform/last_failure.h"
#include "platform/time_decoder.h"
#include "repository/field_table.h"
#include "repository/field_values.h"
#include "repository/guarded.h"
#include "repository/load_batch.h"
#include "repository/service_node_reader.h"
#include "repository/services_file.h"
#include "repository/tree_guard.h"
#include "repository/vask_ini_tree.h"

namespace file = kestrine::services_file;
namespace fields = kestrine::fields;

namespace {

// The name of a record read from a node without "Name": a new record's own.
constexpr char kUnnamed[] = " ";

// Which texts of the connection settings a record is given: all that the
// node holds, or only those of the groups in use, as the collection keeps them.
enum class GroupTexts { kAll, kInUse };

// What a load keeps from one record to the next: a time decoder, which
// learns the zone's offsets once (the thread's batch's, when a batch of loads
// runs), and the storage a description is decoded in.
struct LoadAids {
  LoadAids() : times(kestrine::LoadBatch::SharedDecoder()) {
    if (times == nullptr) times = &own.emplace();
  }
  std::optional<kestrine::platform::TimeDecoder> own;
  kestrine::platform::TimeDecoder* times;
  std::string description;
};

template <class Values>
int ReadServiceNode(const Values& value, GroupTexts texts, LoadAids* aids, CService& record);

// Adds a refused service node at `line` to the sections passed over, in file
// order: the reader has handed out the header that ends the node, and may
// have passed over that one already.
void PassOver(int line, std::vector<kestrine::IgnoredSection>* ignored) {
  auto at = ignored->end();
  while (at != ignored->begin() && std::prev(at)->line > line) --at;
  ignored->insert(at, {line, kestrine::IgnoredReason::kNameHeld});
}

}  // namespace

namespace kestrine {

int ReadFailureStatus(const Error& error) {
  // No file, something else at its place (a folder, a FIFO: EINVAL), no
  // WSDL folder, or a text that cannot be parsed (no system error).
  if (error.code == 0 || error.code == ENOENT || error.code == ENOTDIR || error.code == EINVAL) {
    return kestrine::kNotFound;
  }
  platform::RecordFailure(error.code, error.message);
  return kestrine::kFailure;
}

void* FindServicesRoot(void* tree) {
  vaskinitree_enumerate_roots(tree);
  while (void* root = vaskinitree_get_next_root(tree)) {
    const char* name = vaskinitreenode_get_name(root);
    if (name != nullptr && std::strcmp(name, file::kServicesRoot) == 0) return root;
  }
  return nullptr;
}

}  // namespace kestrine

int CServiceRepositoryLight::LoadDataFromScript(const char* scriptFolder) {
  return LoadDataFromScript(scriptFolder, nullptr);
}

int CServiceRepositoryLight::LoadDataFromScript(const char* scriptFolder,
                                                kestrine::LoadReport* report) {
  if (report != nullptr) *report = kestrine::LoadReport();
  if (scriptFolder == nullptr) return kestrine::kFailure;
  if (*scriptFolder == '\0') {
    IniFilePath.clear();
    return kestrine::kFailure;
  }
  return kestrine::Guarded([&] {
    // Both texts are made before either is stored: the folder may be one of
    // this repository's own path texts, and a failure changes neither.
    std::string folder = scriptFolder;
    std::string path = file::LoadPath(folder);
    ScriptPath.swap(folder);
    IniFilePath.swap(path);
    return ReadServicesFile(IniFilePath.c_str(), report);
  });
}

int CServiceRepositoryLight::LoadServicesFromFile(const char* iniFilePath) {
  return ReadServicesFile(iniFilePath, nullptr);
}

int CServiceRepositoryLight::ReadServicesFile(const char* iniFilePath,
                                              kestrine::LoadReport* report) {
  if (iniFilePath == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    kestrine::platform::ClearFailure();
    // Why the file cannot be loaded, for the report.
    const auto fail = [report](int status, const kestrine::Error& error) {
      if (report != nullptr) {
        report->line = error.line;
        report->message = error.message;
        report->ignored.clear();
      }
      return status;
    };
    // Read in one forward pass, node by node: neither the file nor its tree
    // is held in full, and each record is built where the collection keeps it.
    // Opening it tells whether there is a file (which is said before an open
    // tree is): no probe goes first.
    kestrine::ServiceNodeReader nodes;
    kestrine::Error error;
    if (!nodes.Open(iniFilePath, &error)) {
      if (error.code == ENOENT || error.code == ENOTDIR)
        error = {0, "no services file", error.code};
      return fail(kestrine::ReadFailureStatus(error), error);
    }
    if (TreeHandle != nullptr) return kestrine::kFailure;
    // What the report tells is gathered only when one is asked for.
    std::vector<kestrine::IgnoredSection>* ignored = report != nullptr ? &report->ignored : nullptr;
    nodes.CollectPassedOver(ignored);
    // The records this load adds, taken back should the file turn out to be
    // malformed further on: such a file loads nothing. Running out of memory
    // stops the load and keeps the whole records added before.
    std::vector<ServiceMap::iterator> added;
    int refused = 0;
    LoadAids aids;
    while (nodes.Next()) {
      // The first record of a name stays: a node whose name is held is refused.
      const char* named = nodes.Value(fields::FieldId::kName);
      std::string name = named != nullptr ? named : kUnnamed;
      // A file the library wrote holds its records in name order: a name
      // after every one held goes at the end, without a search.
      auto held = Services.end();
      if (!Services.empty() && !(std::prev(held)->first < name)) held = Services.lower_bound(name);
      if (held != Services.end() && held->first == name) {
        ++refused;
        if (ignored != nullptr) PassOver(nodes.line(), ignored);
        continue;
      }
      auto record = std::make_unique<CService>();
      ReadServiceNode([&nodes](fields::FieldId id) { return nodes.Value(id); }, GroupTexts::kInUse,
                      &aids, *record);
      added.push_back(Services.emplace_hint(held, std::move(name), std::move(record)));
    }
    if (nodes.failed()) {
      for (const ServiceMap::iterator& record : added) Services.erase(record);
      return fail(3, nodes.error());
    }
    return added.empty() && refused > 0 ? 1 : 0;
  });
}

namespace {

// A new record, whose values a key that is absent may reset a field to.
const CService& NewRecord() {
  static const CService record;
  return record;
}

// Fills `record` from a service node whose values `value(id)` gives (null
// for a key the node lacks), with the connection settings' `texts`, with the
// load's `aids` (null: without any of its own); returns 0. A group's keys are
// read only while the node's switch turns it on (or, for the blanked groups,
// when every text is asked for). Running out of memory throws, except within
// the connection settings and the JMS transport: each of those is read as one
// unit, which the record then goes without.
template <class Values>
int ReadServiceNode(const Values& value, GroupTexts texts, LoadAids* aids, CService& record) {
  // Read from the node's switches before any field is set.
  std::array<bool, fields::kGroupCount> reads = fields::GroupsCounting(value);
  if (texts == GroupTexts::kAll) {
    for (const fields::Group& group : fields::kGroups) {
      if (group.rule.whenOff == kestrine::WhenOff::kBlanked) {
        reads[fields::GroupIndex(group.rule.group)] = true;
      }
    }
  }
  fields::DecodeAids decode;
  if (aids != nullptr) {
    decode.times = aids->times;
    decode.description = &aids->description;
  }
  const auto readStep = [&](kestrine::ReadStep step) {
    for (std::size_t i = 0; i < fields::kFieldCount; ++i) {
      const kestrine::Field& field = fields::kFields[i];
      if (field.read != step || !reads[fields::GroupIndex(field.group)]) continue;
      if (const char* text = value(static_cast<fields::FieldId>(i))) {
        fields::Decode(record, field, text, decode);
      } else if (field.resetWhenAbsent) {
        fields::CopyValue(field, NewRecord(), record);
      }
    }
  };

  readStep(kestrine::ReadStep::kRecord);
  // The connection settings are read as one unit: if any of them cannot be
  // stored, the record keeps none of them and the JMS keys are not read.
  try {
    readStep(kestrine::ReadStep::kConnectionSettings);
  } catch (const std::bad_alloc&) {
    record.ClearAdvancedSettings();
    return kestrine::kOk;
  }
  // The JMS transport, likewise as one unit.
  try {
    readStep(kestrine::ReadStep::kJmsTransport);
  } catch (const std::bad_alloc&) {
    record.ClearJmsFields();
  }
  return kestrine::kOk;
}

}  // namespace

int CServiceRepositoryLight::LoadSingleServiceData(void* node, CService* record) {
  if (node == nullptr || record == nullptr) return kestrine::kFailure;
  // Aids made for one record would cost more than they save.
  return kestrine::Guarded([&] {
    return ReadServiceNode(
        [node](fields::FieldId id) { return vaskinitreenode_get_attrib(node, fields::KeyOf(id)); },
        GroupTexts::kAll, nullptr, *record);
  });
}
