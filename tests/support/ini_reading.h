// The INI text's two readers side by side: what the whole-file parser builds
// and what the streaming reader hands out, as comparable dumps. Shared by
// the tests and the streaming reader's fuzzer.
#ifndef KESTRINE_TESTS_SUPPORT_INI_READING_H
#define KESTRINE_TESTS_SUPPORT_INI_READING_H

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ini/document.h"
#include "ini/parser.h"
#include "ini/stream_reader.h"
#include "platform/error.h"

namespace kestrine::testing {

/// Text in memory handed to a reader a few bytes at a time: each read gives
/// at most the next of `sizes` bytes (round robin, at least 1).
class PieceSource final : public ini::ByteSource {
 public:
  PieceSource(std::string_view text, std::vector<std::size_t> sizes)
      : text_(text), sizes_(std::move(sizes)) {}

  bool Read(char* into, std::size_t room, std::size_t* got, Error*) override {
    std::size_t size = sizes_.empty() ? room : std::max<std::size_t>(1, sizes_[turn_++]);
    if (turn_ == sizes_.size()) turn_ = 0;
    size = std::min({size, room, text_.size() - at_});
    if (size > 0) std::memcpy(into, text_.data() + at_, size);
    at_ += size;
    *got = size;
    return true;
  }

 private:
  std::string_view text_;
  std::vector<std::size_t> sizes_;
  std::size_t turn_ = 0;
  std::size_t at_ = 0;
};

inline void AppendDumpField(std::string_view field, std::string* out) {
  out->append(std::to_string(field.size())).append(":").append(field);
}

inline void AppendDumpNode(std::size_t depth, int line, std::string_view name, std::string* out) {
  out->append("N").append(std::to_string(depth)).append("@").append(std::to_string(line));
  AppendDumpField(name, out);
}

inline void AppendDumpAttribute(int line, std::string_view key, std::string_view value,
                                std::string* out) {
  out->append(" A@").append(std::to_string(line));
  AppendDumpField(key, out);
  AppendDumpField(value, out);
  out->append("\n");
}

/// The outcome of reading a text: every node in file order with its depth,
/// line and attributes (key, value, line), or the error's line and message.
inline std::string ErrorDump(const Error& error) {
  return "error@" + std::to_string(error.line) + ": " + error.message;
}

/// As the whole-file parser reads `text`.
inline std::string DumpParsed(std::string_view text) {
  ini::Document document;
  Error error;
  if (!ini::Parse(text, &document, &error)) return ErrorDump(error);
  std::string out;
  // File order is the tree's pre-order: a child follows its parent.
  std::vector<std::pair<const ini::Node*, std::size_t>> stack;
  const auto push_children = [&stack](const std::vector<ini::Node*>& nodes, std::size_t depth) {
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) stack.emplace_back(*it, depth);
  };
  push_children(document.roots(), 0);
  while (!stack.empty()) {
    const auto [node, depth] = stack.back();
    stack.pop_back();
    AppendDumpNode(depth, node->line(), node->name(), &out);
    out.append("\n");
    for (const ini::Attribute& attribute : node->attributes()) {
      AppendDumpAttribute(attribute.line(), attribute.key(), attribute.value(), &out);
    }
    push_children(node->children(), depth + 1);
  }
  return out;
}

/// As the streaming reader hands `text` out, read `piece` bytes at a time
/// from a source that gives at most `sizes` bytes per read. Every value must
/// be followed by a NUL byte.
inline std::string DumpStreamed(std::string_view text, std::size_t piece,
                                std::vector<std::size_t> sizes, bool* terminated) {
  PieceSource source(text, std::move(sizes));
  ini::StreamReader reader(&source, piece);
  std::string out;
  *terminated = true;
  for (;;) {
    switch (reader.Next()) {
      case ini::StreamReader::Event::kNode:
        AppendDumpNode(reader.depth(), reader.line(), reader.name(), &out);
        out.append("\n");
        break;
      case ini::StreamReader::Event::kAttribute:
        AppendDumpAttribute(reader.line(), reader.key(), reader.value(), &out);
        if (reader.value().data()[reader.value().size()] != '\0') *terminated = false;
        break;
      case ini::StreamReader::Event::kEnd:
        return out;
      case ini::StreamReader::Event::kError:
        return ErrorDump(reader.error());
    }
  }
}

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_SUPPORT_INI_READING_H
