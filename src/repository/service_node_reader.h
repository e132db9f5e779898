// The service nodes of a services file, read in one forward pass.
#ifndef KESTRINE_REPOSITORY_SERVICE_NODE_READER_H
#define KESTRINE_REPOSITORY_SERVICE_NODE_READER_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ini/file.h"
#include "ini/stream_reader.h"
#include "kestrine/load_report.h"
#include "repository/field_table.h"

namespace kestrine {

/// Hands out the children of the file's first root named "Services" one at
/// a time, in file order, each with the first value of every key of the
/// field table; other keys and nodes are passed over. Holds one node's values and one piece of the
/// file, never the whole file or its tree.
class ServiceNodeReader {
 public:
  ServiceNodeReader() : reader_(&file_) {}
  ServiceNodeReader(const ServiceNodeReader&) = delete;
  ServiceNodeReader& operator=(const ServiceNodeReader&) = delete;

  /// Opens the file at `path` (backslashes taken as separators); false when
  /// it cannot be opened, with `error` (when not null) saying why.
  bool Open(const char* path, Error* error = nullptr) { return file_.Open(path, error); }

  /// Moves to the next service node: true, or false at the end of the file
  /// and when the file turns out malformed or unreadable (failed()). Running
  /// out of memory throws std::bad_alloc.
  bool Next();

  /// The file could not be read to its end, or is malformed.
  bool failed() const { return failed_; }
  /// When failed(): the line at fault (0 when the fault is not on a line)
  /// and why, as the whole-file parser tells them.
  const Error& error() const { return reader_.error(); }

  /// The 1-based line of the current service node's header.
  int line() const { return line_; }

  /// From now on, appends the nodes the reader passes over (those outside
  /// the first "Services" root and those below a service node) to `passed`,
  /// in file order, which must outlive the reading; null: no longer.
  void CollectPassedOver(std::vector<IgnoredSection>* passed) { passed_ = passed; }

  /// The first value of the field's key in the current service node, or
  /// null when the node has no such key. Valid until Next.
  const char* Value(fields::FieldId id) const {
    const std::uint32_t offset = offsets_[fields::Index(id)];
    return offset != kAbsent ? values_.data() + offset : nullptr;
  }

 private:
  static constexpr std::uint32_t kAbsent = UINT32_MAX;

  void BeginNode(int line);
  void Keep(std::string_view key, std::string_view value);

  ini::FileSource file_;
  ini::StreamReader reader_;
  std::vector<IgnoredSection>* passed_ = nullptr;
  bool failed_ = false;
  bool in_services_ = false;    // the open root is the first "Services"
  bool seen_services_ = false;  // a "Services" root has been read
  bool in_node_ = false;        // the attributes read belong to a service node
  bool next_begun_ = false;     // the header of the next service node is read
  int line_ = 0;                // of the current service node's header
  int next_line_ = 0;           // of the next one's, once begun
  // Where each read key's first value lies in values_ (NUL-terminated).
  std::array<std::uint32_t, fields::kFieldCount> offsets_{};
  std::string values_;
};

}  // namespace kestrine

#endif  // KESTRINE_REPOSITORY_SERVICE_NODE_READER_H
