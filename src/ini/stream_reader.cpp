#include "ini/stream_reader.h"

#include <climits>
#include <cstring>

#include "ini/escape.h"

namespace kestrine::ini {

StreamReader::StreamReader(ByteSource* source, std::size_t piece)
    : source_(source), piece_(piece == 0 ? 1 : piece) {}

StreamReader::Event StreamReader::Fail(int line, const char* message) {
  state_ = Event::kError;
  kestrine::Fail(&error_, line, message);
  return state_;
}

// Makes room after the bytes not yet read as lines and reads more. The line
// begun is moved to the front; a buffer that this one line fills is doubled.
bool StreamReader::Refill() {
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, filled_ - begin_);
    filled_ -= begin_;
    scanned_ -= begin_;
    begin_ = 0;
  }
  if (capacity_ == 0 || filled_ + 1 == capacity_) {
    const std::size_t capacity = capacity_ == 0 ? piece_ + 1 : 2 * (capacity_ - 1) + 1;
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (filled_ > 0) std::memcpy(grown.get(), buffer_.get(), filled_);
    buffer_ = std::move(grown);
    capacity_ = capacity;
  }
  std::size_t got = 0;
  if (source_ == nullptr) {
    Fail(0, "nothing to read from");
    return false;
  }
  if (!source_->Read(buffer_.get() + filled_, capacity_ - 1 - filled_, &got, &error_)) {
    state_ = Event::kError;
    return false;
  }
  if (got == 0) source_done_ = true;
  filled_ += got;
  total_ += got;
  // Larger texts cannot be kept as a tree, so neither reader takes them.
  if (total_ > UINT32_MAX) {
    Fail(0, kTooLarge);
    return false;
  }
  return true;
}

// The next line's text buffer_[*begin, *end); false at the end of the text
// or when reading fails (state_ is then kError).
bool StreamReader::NextLine(std::size_t* begin, std::size_t* end) {
  for (;;) {
    LineEnd line;
    if (FindLineEnd(buffer_.get(), scanned_, filled_, !source_done_, &line)) {
      *begin = begin_;
      *end = line.end;
      begin_ = scanned_ = line.next;
      return true;
    }
    scanned_ = line.end;
    if (source_done_) {
      if (begin_ == filled_) return false;
      // The last line, without a line ending.
      *begin = begin_;
      *end = filled_;
      begin_ = filled_;
      return true;
    }
    if (!Refill()) return false;
  }
}

StreamReader::Event StreamReader::Next() {
  if (state_ == Event::kEnd || state_ == Event::kError) return state_;
  if (!started_) {
    started_ = true;
    while (filled_ < kBom.size() && !source_done_) {
      if (!Refill()) return state_;
    }
    if (StartsUtf16(std::string_view(buffer_.get(), filled_))) return Fail(1, kUtf16);
    if (std::string_view(buffer_.get(), filled_).substr(0, kBom.size()) == kBom) {
      begin_ = scanned_ = kBom.size();
    }
  }
  for (;;) {
    std::size_t begin = 0;
    std::size_t end = 0;
    if (!NextLine(&begin, &end)) {
      if (state_ != Event::kError) state_ = Event::kEnd;
      return state_;
    }
    if (line_number_ == INT_MAX) return Fail(line_number_, kTooManyLines);
    ++line_number_;
    const LineShape shape = ClassifyLine(buffer_.get(), begin, end, in_node_);
    switch (shape.kind) {
      case LineShape::kBrokenHeader:
        return Fail(line_number_, kUnclosedHeader);
      case LineShape::kHeader:
        return HandleHeader(shape.open, shape.close);
      case LineShape::kAttribute:
        return HandleAttribute(shape, end);
      case LineShape::kOther:
        break;
    }
  }
}

StreamReader::Event StreamReader::HandleHeader(std::size_t open, std::size_t close) {
  std::size_t depth = 0;
  std::string_view name;
  const HeaderCheck check = ResolveHeader(
      buffer_.get(), open, close, open_count_,
      [this](std::size_t level) { return std::string_view(open_[level]); }, &depth, &name);
  if (check != HeaderCheck::kNode) return Fail(line_number_, HeaderError(check));
  if (open_.size() <= depth) open_.emplace_back();
  open_[depth].assign(name.data(), name.size());
  open_count_ = depth + 1;
  in_node_ = true;
  name_ = name;
  depth_ = depth;
  return Event::kNode;
}

StreamReader::Event StreamReader::HandleAttribute(const LineShape& shape, std::size_t end) {
  char* text = buffer_.get();
  const AttributeParts parts = SplitAttribute(text, shape, end);
  key_ = std::string_view(text + parts.key_begin, parts.key_end - parts.key_begin);
  // The line is read: its bytes may be decoded and terminated where they lie
  // (a NUL on the closing quote, a trailing blank or the line ending, or on
  // the byte kept free after the last line).
  if (parts.quoted) {
    char* inside = text + parts.value_begin + 1;
    const std::size_t size = DecodeQuotedInPlace(inside, parts.value_end - parts.value_begin - 2);
    inside[size] = '\0';
    value_ = std::string_view(inside, size);
  } else {
    text[parts.value_end] = '\0';
    value_ = std::string_view(text + parts.value_begin, parts.value_end - parts.value_begin);
  }
  return Event::kAttribute;
}

}  // namespace kestrine::ini
