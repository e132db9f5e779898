#include "kestrine/script_lock.h"

#include <cerrno>
#include <new>
#include <string>

#include "kestrine/status.h"
#include "repository/services_file.h"
#include "repository/writers_lock.h"

namespace kestrine {

struct ScriptLock::Hold {
  platform::FolderLock lock;
};

ScriptLock::ScriptLock(const char* scriptFolder, int waitMilliseconds) {
  if (scriptFolder == nullptr) {
    error_ = EINVAL;
    return;
  }
  try {
    const std::string path = services_file::SavePath(scriptFolder);
    auto hold = std::make_unique<Hold>();
    hold->lock = LockServicesFile(
        path, std::chrono::milliseconds{waitMilliseconds < 0 ? 0 : waitMilliseconds}, &error_);
    if (hold->lock.held()) hold_ = std::move(hold);
  } catch (const std::bad_alloc&) {
    error_ = ENOMEM;
  }
}

ScriptLock::~ScriptLock() = default;

bool ScriptLock::locked() const { return hold_ != nullptr; }

int ScriptLock::status() const { return locked() ? kOk : kFailure; }

int ScriptLock::systemError() const { return locked() ? 0 : error_; }

}  // namespace kestrine
