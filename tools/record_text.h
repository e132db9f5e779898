// Service records as aligned "Field: value" lines.
#ifndef KESTRINE_TOOLS_RECORD_TEXT_H
#define KESTRINE_TOOLS_RECORD_TEXT_H

#include <kestrine/kestrine.h>

#include <ostream>

#include "record_fields.h"

namespace kestrine::tool {

/// One line per field, values aligned in one column: flags as true/false,
/// times as "<ISO 8601 local> (<seconds>)" or "none (<seconds>)", passwords
/// as kHiddenSecret unless shown. A text with line breaks continues on lines
/// of their own in the value column; control bytes show as \xHH.
void PrintRecordText(std::ostream& out, const CService& record, Secrets secrets);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_RECORD_TEXT_H
