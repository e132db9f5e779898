// JSON read from the user, strictly: what a plain parse would take silently
// or report without saying where is refused with the place named.
#ifndef KESTRINE_TOOLS_JSON_INPUT_H
#define KESTRINE_TOOLS_JSON_INPUT_H

#include <nlohmann/json.hpp>
#include <string>

namespace kestrine::tool {

/// Parses `text`, the JSON of `label` (a file name as OneLine shows it, for
/// messages). Throws CommandError (status 1) when it is not JSON, when an
/// object holds a key twice (a plain parse keeps the last one), and when a
/// number does not fit a double. The last two name the place: the record
/// (the element of a top-level array, from 1) and the keys down to it, as in
/// "input.json: record 2: CreationDate \"seconds\"".
nlohmann::json ParseJsonInput(const std::string& text, const std::string& label);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_JSON_INPUT_H
