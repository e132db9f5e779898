// The one place where an exception becomes a status.
#ifndef KESTRINE_REPOSITORY_GUARDED_H
#define KESTRINE_REPOSITORY_GUARDED_H

#include <utility>

namespace kestrine {

/// Runs the body of a status-returning repository operation and returns its
/// status, or 1 when it throws: in practice std::bad_alloc, from any of the
/// copies, texts and tree nodes an operation builds. Bodies hold what they
/// build in owning objects and change the repository only in steps that
/// cannot throw, so that unwinding leaks nothing and leaves no half-made
/// record behind.
///
/// Every operation a caller or a subclass can reach is wrapped once, at its
/// edge, after its argument checks. The work inside throws freely. Where an
/// operation's own step would read a failure as an ordinary "no" (a save
/// skips a record the tree refuses), it runs the step's throwing form, so that
/// running out of memory fails the whole operation instead.
template <class Body>
int Guarded(Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return 1;
  }
}

}  // namespace kestrine

#endif  // KESTRINE_REPOSITORY_GUARDED_H
