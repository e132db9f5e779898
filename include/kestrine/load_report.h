// What a load of a script's services file tells besides its status: where
// and why the file could not be loaded, and which of its sections loading
// passed over.
#ifndef KESTRINE_LOAD_REPORT_H
#define KESTRINE_LOAD_REPORT_H

#include <string>
#include <vector>

#include "kestrine/export.h"

namespace kestrine {

/// Why loading passed over a section of the services file. The records such
/// sections hold are not loaded, and a rewrite of the file from the
/// repository (SaveServicesToScript) drops them.
enum class IgnoredReason {
  /// Outside the file's first [Services] section: another root section, a
  /// second [Services], or a section below one of these.
  kOutsideServices,
  /// Below a service node (such as [Services\Service_1\x]): only the
  /// children of [Services] are service nodes.
  kBelowServiceNode,
  /// A service node whose name (its "Name" key; " " without one) an earlier
  /// node of the file, or a record the repository held before the load,
  /// already has.
  kNameHeld,
};

/// One section that loading passed over.
struct KESTRINE_API IgnoredSection {
  /// The 1-based line of its header.
  int line = 0;
  IgnoredReason reason = IgnoredReason::kOutsideServices;
};

/// What CServiceRepositoryLight::LoadDataFromScript(folder, report) found,
/// in its one read of the file. Owned by the caller.
struct KESTRINE_API LoadReport {
  /// When the services file is missing, cannot be read or cannot be parsed:
  /// the 1-based line at fault (0 when the fault lies on no line: no file,
  /// an unreadable one) and why, in `message`, for people; for a malformed
  /// file the same line and message as `kestrine check` gives. 0 and empty
  /// otherwise, also when the load failed for another reason.
  int line = 0;
  std::string message;
  /// The sections loading passed over, in file order. Empty when the file
  /// could not be read or parsed: nothing is loaded then.
  std::vector<IgnoredSection> ignored;
};

}  // namespace kestrine

#endif  // KESTRINE_LOAD_REPORT_H
