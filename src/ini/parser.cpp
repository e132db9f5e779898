#include "ini/parser.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "ini/escape.h"
#include "ini/header_text.h"

namespace kestrine::ini {
namespace {

// Splits the text into lines with memchr and classifies each in one pass.
// Keys and values are views into the document's bytes. A value that ends
// where its line ends is NUL-terminated in place, on the first byte of the
// line ending (or the string's own terminator at the end); the rare others
// (quoted values, values followed by blanks) are decoded or copied into the
// document's owned texts. Lines are kept as offsets into the bytes, which
// stay as read but for those line-ending bytes, for writing back.
class Parser {
 public:
  explicit Parser(Document* document) : document_(document) {}

  bool Run(std::string text, Error* error);

 private:
  bool Fail(const char* message);
  bool HandleHeader(std::size_t open, std::size_t close, std::size_t line_begin,
                    std::size_t line_end, Eol eol);
  void HandleAttribute(std::size_t key_begin, std::size_t equals, std::size_t line_begin,
                       std::size_t line_end, Eol eol);
  void CloseNode();

  Document* document_;
  char* text_ = nullptr;
  int line_number_ = 0;
  Error* error_ = nullptr;
  Node* current_ = nullptr;            // node whose body the lines belong to
  std::vector<Node*> open_;            // the current node and its ancestors, root first
  std::vector<Line> body_;             // lines of the current node, moved over when it ends
  std::vector<Attribute> attributes_;  // attributes of the current node, likewise
};

std::size_t SkipBlanks(const char* text, std::size_t begin, std::size_t end) {
  while (begin < end && IsBlank(text[begin])) ++begin;
  return begin;
}

std::size_t TrimBlanksBack(const char* text, std::size_t begin, std::size_t end) {
  while (end > begin && IsBlank(text[end - 1])) --end;
  return end;
}

// Offsets fit 32 bits: the parser refuses larger texts.
Line MakeLine(std::size_t begin, std::size_t end, std::uint32_t attribute, Eol eol) {
  return Line{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin), attribute,
              eol};
}

}  // namespace

bool Parser::Fail(const char* message) { return kestrine::Fail(error_, line_number_, message); }

bool Parser::Run(std::string bytes, Error* error) {
  error_ = error;
  Document& doc = *document_;
  doc.Clear();
  text_ = doc.AdoptText(std::move(bytes));

  const std::size_t size = doc.text_size();
  if (size > UINT32_MAX) return Fail("file larger than 4 GiB");
  std::size_t pos = 0;
  if (size >= 3 && std::memcmp(text_, "\xEF\xBB\xBF", 3) == 0) {
    doc.set_bom(true);
    pos = 3;
  }
  while (pos < size) {
    if (line_number_ == INT_MAX) return Fail("too many lines");
    ++line_number_;
    const void* found = std::memchr(text_ + pos, '\n', size - pos);
    std::size_t end = size;
    std::size_t next = size;
    Eol eol = Eol::kNone;
    if (found != nullptr) {
      end = static_cast<std::size_t>(static_cast<const char*>(found) - text_);
      next = end + 1;
      eol = Eol::kLf;
      if (end > pos && text_[end - 1] == '\r') {
        --end;
        eol = Eol::kCrLf;
      }
    }
    if (line_number_ == 1) doc.set_new_line_eol(eol == Eol::kNone ? Eol::kLf : eol);

    const std::size_t first = SkipBlanks(text_, pos, end);
    if (first < end && text_[first] == '[') {
      // A comment may follow the "]" that closes the path.
      const std::size_t close =
          FindHeaderClose(std::string_view(text_ + pos, end - pos), first - pos);
      if (close == std::string_view::npos) {
        return Fail("header without closing ']' (only a comment may follow it)");
      }
      if (!HandleHeader(first + 1, pos + close, pos, end, eol)) return false;
    } else if (current_ != nullptr && first < end && text_[first] != ';' && text_[first] != '#') {
      // "key=value" needs a non-empty key: a line starting with "=" is no attribute.
      const void* equals = std::memchr(text_ + first, '=', end - first);
      if (equals != nullptr && equals != text_ + first) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(equals) - text_);
        HandleAttribute(first, at, pos, end, eol);
      } else {
        body_.push_back(MakeLine(pos, end, Line::kNoAttribute, eol));
      }
    } else {
      // Blank, comment or unknown line; before the first header even
      // key=value lines are kept only to be written back.
      const Line line = MakeLine(pos, end, Line::kNoAttribute, eol);
      if (current_ == nullptr) {
        doc.AddPreambleLine(line);
      } else {
        body_.push_back(line);
      }
    }
    pos = next;
  }
  CloseNode();
  return true;
}

bool Parser::HandleHeader(std::size_t open, std::size_t close, std::size_t line_begin,
                          std::size_t line_end, Eol eol) {
  // Walk the "\"-separated names: all but the last must be the names of the
  // open nodes from the root down; the last names the new node.
  std::size_t depth = 0;
  std::size_t begin = open;
  for (;;) {
    const void* separator = std::memchr(text_ + begin, '\\', close - begin);
    const std::size_t end =
        separator == nullptr
            ? close
            : static_cast<std::size_t>(static_cast<const char*>(separator) - text_);
    const std::size_t name_begin = SkipBlanks(text_, begin, end);
    const std::size_t name_end = TrimBlanksBack(text_, name_begin, end);
    if (name_begin == name_end) return Fail("header with an empty name");
    const std::string_view name(text_ + name_begin, name_end - name_begin);
    if (separator == nullptr) {
      CloseNode();
      open_.resize(depth);
      Node* parent = depth == 0 ? nullptr : open_.back();
      const HeaderLine header{std::string_view(text_ + line_begin, line_end - line_begin), eol,
                              line_number_};
      current_ = document_->NewNode(parent, name, &header);
      open_.push_back(current_);
      return true;
    }
    if (depth >= open_.size() || open_[depth]->name() != name) {
      return Fail("header names a parent that is not the section open at that level");
    }
    ++depth;
    begin = end + 1;
  }
}

void Parser::HandleAttribute(std::size_t key_begin, std::size_t equals, std::size_t line_begin,
                             std::size_t line_end, Eol eol) {
  const std::size_t key_end = TrimBlanksBack(text_, key_begin, equals);
  const std::size_t value_begin = SkipBlanks(text_, equals + 1, line_end);
  const std::size_t value_end = TrimBlanksBack(text_, value_begin, line_end);

  const std::size_t size = value_end - value_begin;
  std::string_view value;
  if (size >= 2 && text_[value_begin] == '"' && text_[value_end - 1] == '"') {
    // Decoded in a stored copy: the bytes read stay as they are.
    char* decoded = document_->StoreText(std::string_view(text_ + value_begin + 1, size - 2));
    const std::size_t decoded_size = DecodeQuotedInPlace(decoded, size - 2);
    decoded[decoded_size] = '\0';
    value = std::string_view(decoded, decoded_size);
  } else if (value_end == line_end) {
    // The line's text ends here; its ending is written from `eol`.
    text_[value_end] = '\0';
    value = std::string_view(text_ + value_begin, size);
  } else {
    value =
        std::string_view(document_->StoreText(std::string_view(text_ + value_begin, size)), size);
  }
  attributes_.emplace_back(std::string_view(text_ + key_begin, key_end - key_begin), value,
                           line_number_, /*rewritten=*/false);
  body_.push_back(
      MakeLine(line_begin, line_end, static_cast<std::uint32_t>(attributes_.size() - 1), eol));
}

void Parser::CloseNode() {
  if (current_ == nullptr) return;
  current_->SetReadBody(body_, attributes_);
  body_.clear();
  attributes_.clear();
  current_ = nullptr;
}

bool ParseOwned(std::string text, Document* out, Error* error) {
  if (out == nullptr) return kestrine::Fail(error, 0, "no document to read into");
  Parser parser(out);
  if (!parser.Run(std::move(text), error)) {
    out->Clear();
    return false;
  }
  return true;
}

bool Parse(std::string_view text, Document* out, Error* error) {
  return ParseOwned(std::string(text), out, error);
}

}  // namespace kestrine::ini
