#include "kestrine/save_error.h"

#include "platform/last_failure.h"

namespace kestrine {

int LastSaveError() { return platform::ThreadFailure().code; }

const char* LastSaveErrorMessage() { return platform::ThreadFailure().message.c_str(); }

}  // namespace kestrine
