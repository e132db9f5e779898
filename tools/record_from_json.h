// Service records read back from the JSON that `export` (and `show --json`)
// prints.
#ifndef KESTRINE_TOOLS_RECORD_FROM_JSON_H
#define KESTRINE_TOOLS_RECORD_FROM_JSON_H

#include <kestrine/kestrine.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "record_fields.h"

namespace kestrine::tool {

/// The fields one JSON object gives, in the order of Fields(); "Name" is
/// always among them.
struct JsonRecord {
  std::string name;
  std::vector<std::pair<const Field*, FieldValue>> values;

  /// Stores every value given into `record`; the fields not given keep
  /// what `record` holds.
  void ApplyTo(CService& record) const;
};

/// Reads one record: an object whose keys are the services file's keys, with
/// the values RecordJson writes (a time may also be a bare number of
/// seconds, or an object with only "seconds" or only "local"). Throws
/// CommandError (status 1), naming `where` and the key, for a key that is no
/// field, a value of the wrong type or out of range, a text holding a NUL
/// character, a hidden password (kHiddenSecret) and a missing or empty name.
JsonRecord ReadJsonRecord(const nlohmann::json& object, const std::string& where);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_RECORD_FROM_JSON_H
