#include "repository/load_batch.h"

namespace kestrine {
namespace {

thread_local LoadBatch* t_innermost = nullptr;

}  // namespace

LoadBatch::LoadBatch() : outer_(t_innermost) { t_innermost = this; }

LoadBatch::~LoadBatch() { t_innermost = outer_; }

platform::TimeDecoder* LoadBatch::SharedDecoder() noexcept {
  return t_innermost != nullptr ? &t_innermost->decoder_ : nullptr;
}

}  // namespace kestrine
