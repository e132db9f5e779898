#include "repository/service_node.h"

#include <array>
#include <cstddef>

#include "repository/field_table.h"
#include "repository/field_values.h"

namespace kestrine::services_file {

std::vector<KeyValue> NodeValues(const CService& record, NodeKeys keys) {
  std::vector<KeyValue> values;
  values.reserve(fields::kFieldCount);
  // The keys a blank group writes after the rest of it, once it ends.
  std::array<const Field*, fields::kFieldCount> last{};
  std::size_t lastCount = 0;
  for (std::size_t i = 0; i < fields::kFieldCount; ++i) {
    const Field& field = fields::kFields[i];
    if (keys == NodeKeys::kAll || FieldHeld(record, field)) {
      values.push_back({&field, fields::Encode(record, field)});
    } else if (RuleOf(field.group).whenOff == WhenOff::kBlanked) {
      if (field.lastWhenBlank) {
        last[lastCount++] = &field;
      } else {
        values.push_back({&field, std::string()});
      }
    }
    const bool groupEnds =
        i + 1 == fields::kFieldCount || fields::kFields[i + 1].group != field.group;
    if (groupEnds) {
      for (std::size_t at = 0; at < lastCount; ++at) values.push_back({last[at], std::string()});
      lastCount = 0;
    }
  }
  return values;
}

}  // namespace kestrine::services_file
