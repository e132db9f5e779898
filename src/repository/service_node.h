// A service node as the writer writes it: its keys, in the file's order,
// with their values' text. Appending, rewriting and editing a node in place
// all write from this one list, so they cannot disagree.
#ifndef KESTRINE_REPOSITORY_SERVICE_NODE_H
#define KESTRINE_REPOSITORY_SERVICE_NODE_H

#include <string>
#include <string_view>
#include <vector>

class CService;

namespace kestrine::services_file {

/// How a key's value is read back: two texts of one kind that read as the
/// same value are the same value (an edit leaves such a line alone).
enum class ValueKind { kText, kBool, kInt, kTime };

struct KeyValue {
  const char* key;
  ValueKind kind;
  std::string text;  // as written after "key=" (before the INI quoting)
};

/// The node of `record` as the writer writes it: "ZR_ID" only for a linked
/// record, the UDDI keys only for a UDDI location, the proxy and credential
/// keys blank when their group is off. May throw std::bad_alloc.
std::vector<KeyValue> NodeValues(const CService& record);

/// Whether the value text `stored` reads as the same value as `written`.
bool SameValue(ValueKind kind, std::string_view stored, std::string_view written);

}  // namespace kestrine::services_file

#endif  // KESTRINE_REPOSITORY_SERVICE_NODE_H
