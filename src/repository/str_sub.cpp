// Replace-all on a string.
#include "kestrine/str_sub.h"

int StrSub(std::string& text, std::string search, std::string replacement) {
  // An empty search text would match everywhere and never advance.
  if (text.empty() || search.empty()) return 0;
  std::string::size_type found = text.find(search);
  if (found == std::string::npos) return 0;
  // The result is built in one pass from the original text, so inserted text
  // is never searched again and no tail is moved once per match.
  std::string result;
  result.reserve(text.size());
  std::string::size_type from = 0;
  do {
    result.append(text, from, found - from);
    result += replacement;
    from = found + search.size();
    found = text.find(search, from);
  } while (found != std::string::npos);
  result.append(text, from, std::string::npos);
  text.swap(result);
  return 0;
}
