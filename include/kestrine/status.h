// The statuses that every operation of the library returns.
#ifndef KESTRINE_STATUS_H
#define KESTRINE_STATUS_H

namespace kestrine {

// What an operation answers, as the int it returns. The values are fixed:
// callers and stored scripts compare them as numbers.

/// Done (a search that finds nothing succeeds too).
inline constexpr int kOk = 0;
/// A null or bad argument, or another failure.
inline constexpr int kFailure = 1;
/// A record or service node of that name is already held.
inline constexpr int kNameTaken = 2;
/// No such name, or no services file (or none that parses).
inline constexpr int kNotFound = 3;
/// More than one service node holds the name: an edit refuses to guess.
inline constexpr int kAmbiguousName = 4;

}  // namespace kestrine

#endif  // KESTRINE_STATUS_H
