// Service records as JSON.
#ifndef KESTRINE_TOOLS_RECORD_JSON_H
#define KESTRINE_TOOLS_RECORD_JSON_H

#include <kestrine/kestrine.h>

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "record_fields.h"

namespace kestrine::tool {

/// One object with every field of the record, named by the services file's
/// keys in the writer's order: texts as strings, flags as booleans, numbers as
/// numbers, times as {"local": ISO 8601 or null, "seconds": n}, passwords as
/// kHiddenSecret unless shown (empty ones empty). ReadJsonRecord reads it back.
nlohmann::ordered_json RecordJson(const CService& record, Secrets secrets);

/// Writes the value indented, then a line break. The record's texts must be
/// UTF-8 already (see Utf8Record); other strings, such as folder names from
/// the file system, may not be: a byte sequence there that is not valid
/// UTF-8 is written as U+FFFD, so that the output is always valid JSON.
void PrintJson(std::ostream& out, const nlohmann::ordered_json& value);

/// The value on one line, without a line break; bytes as PrintJson writes them.
std::string JsonLine(const nlohmann::ordered_json& value);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_RECORD_JSON_H
