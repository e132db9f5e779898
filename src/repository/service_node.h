// A service node as the writer writes it: its keys, in the file's order,
// with their values' text. Appending, rewriting and editing a node in place
// all write from this one list, so they cannot disagree.
#ifndef KESTRINE_REPOSITORY_SERVICE_NODE_H
#define KESTRINE_REPOSITORY_SERVICE_NODE_H

#include <string>
#include <vector>

#include "kestrine/fields.h"

namespace kestrine::services_file {

struct KeyValue {
  const Field* field;
  std::string text;  // as written after "key=" (before the INI quoting)
};

/// Which keys NodeValues gives, with which values.
enum class NodeKeys {
  /// As the writer writes the node: the keys of a group that is off left
  /// out or written blank, as the group's rule says (a blank group in its
  /// order for blanks).
  kWritten,
  /// Every key of the table, in its order, each with the record's own value
  /// whatever its group's switch says.
  kAll,
};

/// The keys of `record`'s node, in the writer's order. May throw
/// std::bad_alloc.
std::vector<KeyValue> NodeValues(const CService& record, NodeKeys keys = NodeKeys::kWritten);

}  // namespace kestrine::services_file

#endif  // KESTRINE_REPOSITORY_SERVICE_NODE_H
