#include "record_from_json.h"

#include <climits>
#include <optional>

#include "command_error.h"
#include "display_text.h"
#include "local_time_text.h"

namespace kestrine::tool {
namespace {

using Json = nlohmann::json;

class FieldReader {
 public:
  FieldReader(const Field& field, const std::string& where) : field_(field), where_(where) {}

  FieldValue Read(const Json& value) const {
    switch (field_.kind) {
      case FieldKind::kText:
        return Text(value);
      case FieldKind::kSecret: {
        std::string text = Text(value);
        if (text == kHiddenSecret) {
          Fail("is the mask " + std::string(kHiddenSecret) +
               ", not a password; export with --show-secrets, or leave the key out to keep the "
               "stored password");
        }
        return text;
      }
      case FieldKind::kFlag:
        if (!value.is_boolean()) Fail("must be true or false");
        return value.get<bool>();
      case FieldKind::kNumber:
        return Number(value, INT32_MIN, INT32_MAX, "must be a whole number of 32 bits");
      case FieldKind::kTime:
        return Time(value);
    }
    return FieldValue();
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw CommandError(kExitFailure, where_ + ": " + field_.key + " " + what);
  }

  std::string Text(const Json& value) const {
    if (!value.is_string()) Fail("must be a string");
    std::string text = value.get<std::string>();
    if (text.find('\0') != std::string::npos) Fail("holds a NUL character");
    return text;
  }

  long Number(const Json& value, long low, long high, const std::string& what) const {
    if (value.is_number_unsigned()) {
      const auto number = value.get<unsigned long long>();
      if (number <= static_cast<unsigned long long>(high)) return static_cast<long>(number);
    } else if (value.is_number_integer()) {
      const auto number = value.get<long long>();
      if (number >= low && number <= high) return static_cast<long>(number);
    }
    Fail(what);
  }

  // Seconds, or an object with "seconds", "local" or both (then they must
  // name the same time); a local time of null stands for 0.
  long Time(const Json& value) const {
    constexpr char kRange[] = "must be seconds from 0 to 2147483647";
    if (!value.is_object()) return Number(value, 0, INT32_MAX, kRange);
    std::optional<long> seconds;
    std::optional<long> local;
    for (const auto& item : value.items()) {
      if (item.key() == "seconds") {
        seconds = Number(item.value(), 0, INT32_MAX, std::string("\"seconds\" ") + kRange);
      } else if (item.key() == "local") {
        local = item.value().is_null() ? std::optional<long>(0) : LocalTime(item.value());
      } else {
        Fail("holds " + Quoted(item.key()) + "; a time has \"local\" and \"seconds\"");
      }
    }
    if (!seconds && !local) Fail("needs \"seconds\" or \"local\"");
    if (seconds && local && *seconds != *local && !(*local == 0 && !IsoLocalTime(*seconds))) {
      Fail("\"local\" and \"seconds\" name different times");
    }
    return seconds ? *seconds : *local;
  }

  long LocalTime(const Json& value) const {
    const std::optional<long> seconds =
        value.is_string() ? IsoTimeSeconds(value.get<std::string>()) : std::nullopt;
    if (!seconds || *seconds < 1 || *seconds > INT32_MAX) {
      Fail(
          "\"local\" must be null or a time such as 2010-03-07T09:05:02+01:00 from 1970 to "
          "2038, its offset within -14:00 to +14:00");
    }
    return *seconds;
  }

  const Field& field_;
  const std::string& where_;
};

}  // namespace

void JsonRecord::ApplyTo(CService& record) const {
  for (const auto& [field, value] : values) field->set(record, value);
}

JsonRecord ReadJsonRecord(const nlohmann::json& object, const std::string& where) {
  if (!object.is_object()) throw CommandError(kExitFailure, where + " is not a JSON object");
  JsonRecord record;
  for (const auto& item : object.items()) {
    if (FindField(item.key()) != nullptr) continue;
    const Field* nearest = NearestField(item.key());
    throw CommandError(kExitFailure,
                       where + ": " + Quoted(item.key()) + " is not a key of a service" +
                           (nearest != nullptr ? std::string("; did you mean ") + nearest->key + "?"
                                               : std::string()));
  }
  for (const Field& field : Fields()) {
    const auto value = object.find(field.key);
    if (value == object.end()) continue;
    record.values.emplace_back(&field, FieldReader(field, where).Read(*value));
    if (&field == &NameField()) record.name = std::get<std::string>(record.values.back().second);
  }
  if (record.name.empty()) {
    throw CommandError(kExitFailure, where + " has no Name, or an empty one");
  }
  return record;
}

}  // namespace kestrine::tool
