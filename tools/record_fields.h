// Every field of a service record, in one order, for the printers.
#ifndef KESTRINE_TOOLS_RECORD_FIELDS_H
#define KESTRINE_TOOLS_RECORD_FIELDS_H

#include <kestrine/kestrine.h>

namespace kestrine::tool {

/// Receives a record's fields one by one. Field names are the record's
/// accessor names without "Get".
class FieldVisitor {
 public:
  virtual ~FieldVisitor() = default;
  virtual void Text(const char* field, const char* value) = 0;
  /// A password; printers hide it unless asked to show secrets.
  virtual void Secret(const char* field, const char* value) = 0;
  virtual void Flag(const char* field, bool value) = 0;
  virtual void Number(const char* field, long value) = 0;
  /// Seconds since 1970-01-01 00:00:00 UTC.
  virtual void Time(const char* field, long seconds) = 0;
};

/// Hands every field of `record` to `visitor`, always in this order:
/// identity and WSDL, UDDI, ZR link, history, options,
/// credentials, proxy, JMS.
void VisitFields(const CService& record, FieldVisitor& visitor);

/// Whether printers show passwords.
enum class Secrets { kHide, kShow };

/// What a password prints as when hidden (an empty password prints empty).
inline constexpr char kHiddenSecret[] = "********";

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_RECORD_FIELDS_H
