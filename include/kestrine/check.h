// A look at a script's services file as its lines stand: what keeps it from
// loading as written, by line. Loading takes a file or refuses it; this says
// why, and what it would pass over or misread.
#ifndef KESTRINE_CHECK_H
#define KESTRINE_CHECK_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kestrine/export.h"

namespace kestrine {

/// What kind of problem a FileProblem is. New kinds may come in later
/// versions: treat an unknown one as a problem all the same.
enum class ProblemKind : std::uint8_t {
  kUnparsable,      ///< the file cannot be parsed: the last problem then
  kLineEnding,      ///< line endings other tools may read otherwise (a warning)
  kNoServices,      ///< no [Services] section: the file holds no services
  kIgnoredSection,  ///< a section that loading passes over, with the records in it
  kNameHeld,        ///< a service node naming a service an earlier node holds
  kMissingKeys,     ///< a service node lacks keys that a writer always writes
  kUnknownKey,      ///< a key that is no key of a service node (`key` holds it)
  kRepeatedKey,     ///< a key given twice in one node; loading reads the first
  kBadValue,        ///< a value that does not read as what its key holds
  kIgnoredValue,    ///< a value of a group that is off: loading does not read it
  kInvalidText,     ///< a text that TextCheck::valid refuses (`key` holds its key)
};

/// One problem of the file.
struct KESTRINE_API FileProblem {
  /// The 1-based line; 0 for the file as a whole.
  int line = 0;
  ProblemKind kind = ProblemKind::kUnparsable;
  /// For people, on one line: control bytes and backslashes of the file's
  /// texts shown as ShownText shows them.
  std::string message;
  /// The key the problem is about, as the file spells it; empty when none.
  std::string key;
  /// A warning: the file loads as it reads all the same (odd line endings).
  bool warning = false;
};

/// What CheckServicesFile found. Owned by the caller.
struct KESTRINE_API FileCheck {
  /// Every problem, in line order; when the file cannot be parsed, the
  /// problems found before the parse and then the kUnparsable one.
  std::vector<FileProblem> problems;
  /// The service nodes that loading takes.
  int services = 0;
  /// When the file cannot be read: why, for people. Empty otherwise.
  std::string message;
};

/// How the caller reads the file's texts: `valid`, when not null, is asked
/// of every text value that loading reads (names, locations, descriptions
/// and the other text keys), with `context`; a false answer is a
/// kInvalidText problem. The library itself takes texts as bytes: this is
/// for callers that know the file's encoding. `valid` must not throw.
struct TextCheck {
  bool (*valid)(std::string_view text, void* context) = nullptr;
  void* context = nullptr;
};

/// Reads the services file of the script folder `scriptFolder` as loading
/// reads it (under the same rules for links and other users' folders) and
/// examines it line by line, reading every value as loading does.
/// Returns kOk (0) when the file was read and parsed, whether or not
/// problems were found; kNotFound (3) when there is no services file (no
/// problem then) or it cannot be parsed (its one kUnparsable problem says
/// where and why); kFailure (1) for a null argument or a file that cannot be
/// read (`check->message` says why). Never throws.
KESTRINE_API int CheckServicesFile(const char* scriptFolder, FileCheck* check,
                                   TextCheck texts = {}) noexcept;

}  // namespace kestrine

#endif  // KESTRINE_CHECK_H
