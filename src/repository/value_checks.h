// Whether a services file's value reads as what its key holds.
#ifndef KESTRINE_REPOSITORY_VALUE_CHECKS_H
#define KESTRINE_REPOSITORY_VALUE_CHECKS_H

#include <optional>
#include <string>
#include <string_view>

namespace kestrine {

/// What is wrong with a time value, or none. Empty is fine (a writer writes
/// it for a time without a local form); anything else must be a local
/// "YYYY-MM-DD[ hh:mm:ss]" that loading reads as a non-zero time written the
/// same way, or a time on 1970-01-01 or 1969-12-31 that reads as 0: a writer
/// writes "not set" as the local form of 1970-01-01 00:00:00 UTC.
std::optional<std::string> TimeProblem(std::string_view value);

/// What is wrong with a flag value, or none: a writer writes "1" or "0";
/// loading reads a value that starts with "0" as false and every other value,
/// the empty one included, as true.
std::optional<std::string> FlagProblem(std::string_view value);

/// What is wrong with a number value, or none: it must be optional blanks,
/// an optional sign and digits, within the 32-bit range.
std::optional<std::string> NumberProblem(std::string_view value);

}  // namespace kestrine

#endif  // KESTRINE_REPOSITORY_VALUE_CHECKS_H
