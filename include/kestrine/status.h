// The statuses that every operation of the library returns.
#ifndef KESTRINE_STATUS_H
#define KESTRINE_STATUS_H

namespace kestrine {

/// What an operation answers, as the int it returns. The values are fixed:
/// callers and stored scripts compare them as numbers.
enum Status : int {
  kOk = 0,             ///< done (a search that finds nothing succeeds too)
  kFailure = 1,        ///< a null or bad argument, or another failure
  kNameTaken = 2,      ///< a record or node of that name is already held
  kNotFound = 3,       ///< no such name, or no services file (or none that parses)
  kAmbiguousName = 4,  ///< more than one service node holds the name
};

}  // namespace kestrine

#endif  // KESTRINE_STATUS_H
