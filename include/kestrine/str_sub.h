// Replace-all on a string.
#ifndef KESTRINE_STR_SUB_H
#define KESTRINE_STR_SUB_H

#include <string>

#include "kestrine/export.h"

/// Replaces every occurrence of `search` in `text` by `replacement`, left to
/// right; inserted text is never searched again. An empty `search` leaves the
/// text unchanged. Returns 0.
KESTRINE_API int StrSub(std::string& text, std::string search, std::string replacement);

#endif  // KESTRINE_STR_SUB_H
