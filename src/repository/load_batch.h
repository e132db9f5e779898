// A batch of loads on one thread, sharing what a load learns of the zone.
#ifndef KESTRINE_REPOSITORY_LOAD_BATCH_H
#define KESTRINE_REPOSITORY_LOAD_BATCH_H

#include "platform/time_decoder.h"

namespace kestrine {

/// While one lives, the loads of its thread share its time decoder instead
/// of each making its own. A decoder learns the zone's offsets with
/// localtime_r, under the C library's process-wide zone lock: for a file of
/// a few records that learning costs more than the file, and threads loading
/// many small files at once (LoadScripts) wait on each other for that lock.
/// The zone is read once, when the batch starts.
///
/// Per thread, so it needs no lock; batches nest (the innermost serves).
class LoadBatch {
 public:
  LoadBatch();
  ~LoadBatch();
  LoadBatch(const LoadBatch&) = delete;
  LoadBatch& operator=(const LoadBatch&) = delete;

  /// The decoder of this thread's innermost batch; null outside any.
  static platform::TimeDecoder* SharedDecoder() noexcept;

 private:
  platform::TimeDecoder decoder_;
  LoadBatch* outer_;
};

}  // namespace kestrine

#endif  // KESTRINE_REPOSITORY_LOAD_BATCH_H
