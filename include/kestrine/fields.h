// The keys of a service node and the record's field behind each: one table,
// from which the library writes, loads, copies and edits records, and from
// which tools read and set fields by key.
#ifndef KESTRINE_FIELDS_H
#define KESTRINE_FIELDS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kestrine/export.h"
#include "kestrine/service.h"

namespace kestrine {

/// What a field holds, and so how the services file writes and reads it.
/// New kinds may come in later versions: treat an unknown one as text.
enum class FieldKind : std::uint8_t {
  kText,          ///< text as it is
  kLocation,      ///< text held with forward slashes; read with backslashes as forward slashes
  kDescription,   ///< text written with "{CR}" and "{LF}" for its line breaks
  kFlag,          ///< boolean, written 1 or 0; read false only when it starts with 0
  kNumber,        ///< 32-bit integer, written in decimal; read by its leading number
  kLocationType,  ///< a LocationTypesEnum, written and read as a number
  kTime,          ///< seconds since 1970 UTC, written as local "YYYY-MM-DD hh:mm:ss"
};

/// The settings group of a field. The group's switch (GroupRule::switchKey)
/// decides whether the record's values of the group count.
enum class FieldGroup : std::uint8_t {
  kAlways,       ///< no switch: always written and read
  kZR,           ///< ZR_ID, while LinkedToZR is true
  kUddi,         ///< the UDDI keys, while LocationType is 2 (LocationUDDI)
  kProxy,        ///< the proxy keys, while UseProxy is true
  kCredentials,  ///< user name and password, while UseSecurity is true
  kJms,          ///< the JMS queues, switched by UseJmsTransport
};

/// What becomes of a group's keys while its switch is off.
enum class WhenOff : std::uint8_t {
  kKept,     ///< written with the record's values and read all the same
  kBlanked,  ///< written empty, and not read
  kLeftOut,  ///< neither written nor read; an edit that turns the group off removes them
};

/// In which step loading reads a key. The record's own fields come first;
/// the connection settings (proxy and credentials, switches included) are
/// read as one unit, then the JMS transport as one: a unit for which memory
/// runs out is left empty. Within a step, keys are read in table order.
enum class ReadStep : std::uint8_t { kRecord, kConnectionSettings, kJmsTransport };

/// The rule of a settings group.
struct GroupRule {
  FieldGroup group;
  const char* name;       ///< "always", "ZR", "UDDI", "proxy", "credentials", "JMS"
  const char* switchKey;  ///< the key that turns the group on; null for kAlways
  long onValue;           ///< the switch's value that means on: 1 for a flag, 2 for LocationType
  WhenOff whenOff;
};

/// Typed access to one field of a record. Exactly one pair is set, by kind:
/// the text pair for kText, kLocation and kDescription, the flag pair for
/// kFlag, the number pair for kNumber, kLocationType and kTime. A text
/// getter's pointer belongs to the record (see CService). Text setters copy
/// and may throw std::bad_alloc; a null text is taken as CService's setter
/// takes it. A number is stored in the field's own type (int for ZR_ID and
/// the location type, long for the others).
struct FieldAccess {
  const char* (*getText)(const CService& record);
  void (*setText)(CService& record, const char* value);
  bool (*getFlag)(const CService& record);
  void (*setFlag)(CService& record, bool value);
  long (*getNumber)(const CService& record);
  void (*setNumber)(CService& record, long value);
};

/// One key of a service node: a row of the field table.
struct Field {
  const char* key;  ///< the key in the file, exactly (letter case and spelling included)
  FieldKind kind;
  FieldGroup group;
  bool secret;  ///< a password: tools hide it unless asked to show it
  /// Loading a node without the key gives the record a new record's value;
  /// otherwise the record keeps what it held.
  bool resetWhenAbsent;
  /// While its group is off and written blank, the key is written after the
  /// rest of its group (otherwise in table order).
  bool lastWhenBlank;
  ReadStep read;
  FieldAccess access;
};

/// The number of rows. Rows are in the writer's order: row i is the i-th key
/// of a node whose groups are all on. Later versions may add rows.
KESTRINE_API std::size_t FieldCount() noexcept;

/// The row at `index`, or null past the end. Rows live as long as the library.
KESTRINE_API const Field* FieldAt(std::size_t index) noexcept;

/// The row of `key`, compared exactly, or null.
KESTRINE_API const Field* FindField(std::string_view key) noexcept;

/// The rule of `group` (of kAlways for a value this version does not know).
KESTRINE_API const GroupRule& RuleOf(FieldGroup group) noexcept;

/// Whether the group's switch is on in `record` (kAlways always is).
KESTRINE_API bool GroupOn(const CService& record, FieldGroup group) noexcept;

/// Turns the group's switch on: the flag true, LocationType 2.
KESTRINE_API void SetGroupOn(CService& record, FieldGroup group) noexcept;

/// Whether the record's value of the field is what a services file holds:
/// its group is on, or keeps its keys while off. Otherwise the writer writes
/// the key empty or not at all, and loading does not read it.
KESTRINE_API bool FieldHeld(const CService& record, const Field& field) noexcept;

/// Sets `*text` to the field's value as the writer writes it (before the
/// file's quoting), whatever the group's switch says: flags 1 or 0, numbers
/// in decimal, times in local time (empty for a time without a local form),
/// a description escaped. Returns 0, or 1 for a null `text` or when memory
/// runs out (`*text` then unchanged). Never throws.
KESTRINE_API int GetFieldText(const CService& record, const Field& field,
                              std::string* text) noexcept;

/// Sets the field from `text` in the file's form, read as loading reads it
/// (a flag false only when the text starts with 0, a number by its leading
/// digits, a time that is none as 0). Returns 0, or 1 for a null `text` or
/// when memory runs out (the field then keeps its value). Never throws.
KESTRINE_API int SetFieldText(CService& record, const Field& field, const char* text) noexcept;

}  // namespace kestrine

#endif  // KESTRINE_FIELDS_H
