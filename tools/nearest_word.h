// The word meant by a mistyped one, for the messages that name it.
#ifndef KESTRINE_TOOLS_NEAREST_WORD_H
#define KESTRINE_TOOLS_NEAREST_WORD_H

#include <string>
#include <string_view>
#include <vector>

namespace kestrine::tool {

/// The one of `known` that `word` most likely stands for, leading dashes
/// aside: the same word, the only one it begins, or the only nearest one
/// within a typo or two (one for words of up to four letters). Else empty.
std::string NearestWord(std::string_view word, const std::vector<std::string>& known);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_NEAREST_WORD_H
