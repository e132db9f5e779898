#include "repository/service_node_reader.h"

#include <cstddef>
#include <string_view>

#include "repository/services_file.h"

namespace kestrine {
namespace {

constexpr std::size_t kNoKey = fields::kFieldCount;

// The table's keys by a hash of length, first and last byte, probed linearly:
// with these factors every key has a slot of its own, so finding a key, or
// that a key is not read, takes one comparison.
constexpr std::size_t kSlots = 64;

constexpr std::size_t Hash(std::string_view key) {
  const auto byte = [](char c) { return static_cast<std::size_t>(static_cast<unsigned char>(c)); };
  return (key.size() * 2 + byte(key.front()) * 9 + byte(key.back()) * 4) % kSlots;
}

struct KeyTable {
  std::array<std::size_t, kSlots> slots{};      // index into the table, or kNoKey
  std::array<std::string_view, kNoKey> keys{};  // the table's keys with their lengths
};

constexpr KeyTable MakeKeyTable() {
  KeyTable table;
  for (std::size_t& slot : table.slots) slot = kNoKey;
  for (std::size_t i = 0; i < fields::kFieldCount; ++i) {
    table.keys[i] = fields::kFields[i].key;
    std::size_t at = Hash(table.keys[i]);
    while (table.slots[at] != kNoKey) at = (at + 1) % kSlots;
    table.slots[at] = i;
  }
  return table;
}

constexpr KeyTable kKeyTable = MakeKeyTable();

// Index of `key` in the table, or kNoKey.
std::size_t KeyIndex(std::string_view key) {
  if (key.empty()) return kNoKey;
  for (std::size_t at = Hash(key);; at = (at + 1) % kSlots) {
    const std::size_t index = kKeyTable.slots[at];
    if (index == kNoKey || key == kKeyTable.keys[index]) return index;
  }
}

}  // namespace

void ServiceNodeReader::BeginNode(int line) {
  offsets_.fill(kAbsent);
  values_.clear();
  in_node_ = true;
  line_ = line;
}

void ServiceNodeReader::Keep(std::string_view key, std::string_view value) {
  const std::size_t index = KeyIndex(key);
  // The first value of a key counts.
  if (index == kNoKey || offsets_[index] != kAbsent) return;
  // The file is below 4 GiB, and so is what one node keeps of it.
  offsets_[index] = static_cast<std::uint32_t>(values_.size());
  // Handed out as a C string, like every value loading reads: cut short at
  // a NUL the value holds.
  values_.append(value);
  values_.push_back('\0');
}

bool ServiceNodeReader::Next() {
  if (next_begun_) {
    next_begun_ = false;
    BeginNode(next_line_);
  }
  for (;;) {
    switch (reader_.Next()) {
      case ini::StreamReader::Event::kAttribute:
        if (in_node_) Keep(reader_.key(), reader_.value());
        break;
      case ini::StreamReader::Event::kNode: {
        // A header ends the node before it, whatever its depth.
        const bool ended = in_node_;
        in_node_ = false;
        bool begins = false;
        if (reader_.depth() == 0) {
          const bool services = reader_.name() == services_file::kServicesRoot;
          in_services_ = services && !seen_services_;
          seen_services_ = seen_services_ || services;
        } else {
          begins = reader_.depth() == 1 && in_services_;
        }
        // Neither the first "Services" root nor one of its service nodes.
        if (passed_ != nullptr && !begins && !(in_services_ && reader_.depth() == 0)) {
          passed_->push_back({reader_.line(), in_services_ ? IgnoredReason::kBelowServiceNode
                                                           : IgnoredReason::kOutsideServices});
        }
        if (ended) {
          next_begun_ = begins;
          next_line_ = reader_.line();
          return true;
        }
        if (begins) BeginNode(reader_.line());
        break;
      }
      case ini::StreamReader::Event::kEnd: {
        const bool ended = in_node_;
        in_node_ = false;
        return ended;
      }
      case ini::StreamReader::Event::kError:
        in_node_ = false;
        failed_ = true;
        return false;
    }
  }
}

}  // namespace kestrine
