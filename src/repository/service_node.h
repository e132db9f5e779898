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
/// same value are the same value (an edit leaves such a line alone). A
/// location reads with backslashes as forward slashes, a description with
/// "{CR}" and "{LF}" as line breaks.
enum class ValueKind { kText, kBool, kInt, kTime, kLocation, kDescription };

/// The settings group whose flag decides whether loading reads a key.
enum class KeyGroup {
  kAlways,
  kZR,           // while LinkedToZR reads true
  kUddi,         // while LocationType reads 2
  kProxy,        // while UseProxy reads true
  kCredentials,  // while UseSecurity reads true
};

struct KeyValue {
  const char* key;
  ValueKind kind;
  KeyGroup group;
  std::string text;  // as written after "key=" (before the INI quoting)
};

/// Which keys NodeValues gives, with which values.
enum class NodeKeys {
  /// As the writer writes the node: "ZR_ID" only for a linked record, the
  /// UDDI keys only for a UDDI location, the proxy and credential keys blank
  /// when their group is off (then with the proxy port last).
  kWritten,
  /// Every key loading reads, each with the record's own value whatever its
  /// group's flag says, the proxy keys in the order of a node with a proxy.
  kAll,
};

/// The keys of `record`'s node, in the writer's order. May throw
/// std::bad_alloc.
std::vector<KeyValue> NodeValues(const CService& record, NodeKeys keys = NodeKeys::kWritten);

/// Whether the value text `stored` reads as the same value as `written`.
bool SameValue(ValueKind kind, std::string_view stored, std::string_view written);

}  // namespace kestrine::services_file

#endif  // KESTRINE_REPOSITORY_SERVICE_NODE_H
