// Replace-all on a string.
#include "kestrine/str_sub.h"

int StrSub(std::string& text, std::string search, std::string replacement) {
  // An empty search text would match everywhere and never advance.
  if (text.empty() || search.empty()) return 0;
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type found = text.find(search, start);
    if (found == std::string::npos) break;
    text.replace(found, search.size(), replacement);
    // Inserted text is never searched again.
    start = found + replacement.size();
  }
  return 0;
}
