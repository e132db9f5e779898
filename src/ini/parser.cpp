#include "ini/parser.h"

#include <climits>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "ini/escape.h"
#include "ini/line_syntax.h"

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
  bool HandleHeader(const LineShape& shape, std::size_t line_begin, std::size_t line_end, Eol eol);
  void HandleAttribute(const LineShape& shape, std::size_t line_begin, std::size_t line_end,
                       Eol eol);
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
  if (size > UINT32_MAX) return Fail(kTooLarge);
  if (StartsUtf16(std::string_view(text_, size))) {
    line_number_ = 1;
    return Fail(kUtf16);
  }
  std::size_t pos = 0;
  if (std::string_view(text_, size).substr(0, kBom.size()) == kBom) {
    doc.set_bom(true);
    pos = kBom.size();
  }
  while (pos < size) {
    if (line_number_ == INT_MAX) return Fail(kTooManyLines);
    ++line_number_;
    LineEnd line;
    FindLineEnd(text_, pos, size, &line);
    const std::size_t end = line.end;
    const Eol eol = line.eol;
    if (line_number_ == 1) doc.set_new_line_eol(eol == Eol::kNone ? Eol::kLf : eol);
    doc.NoteLineEnding(eol, line_number_);

    const LineShape shape = ClassifyLine(text_, pos, end, current_ != nullptr);
    if (shape.kind == LineShape::kBrokenHeader) return Fail(kUnclosedHeader);
    if (shape.kind == LineShape::kHeader) {
      if (!HandleHeader(shape, pos, end, eol)) return false;
    } else if (shape.kind == LineShape::kAttribute) {
      HandleAttribute(shape, pos, end, eol);
    } else {
      // Blank, comment or unknown line; before the first header even
      // key=value lines are kept only to be written back.
      const Line kept = MakeLine(pos, end, Line::kNoAttribute, eol);
      if (current_ == nullptr) {
        doc.AddPreambleLine(kept);
      } else {
        body_.push_back(kept);
      }
    }
    pos = line.next;
  }
  CloseNode();
  return true;
}

bool Parser::HandleHeader(const LineShape& shape, std::size_t line_begin, std::size_t line_end,
                          Eol eol) {
  std::size_t depth = 0;
  std::string_view name;
  const HeaderCheck check = ResolveHeader(
      text_, shape.open, shape.close, open_.size(),
      [this](std::size_t level) { return open_[level]->name(); }, &depth, &name);
  if (check != HeaderCheck::kNode) return Fail(HeaderError(check));
  CloseNode();
  open_.resize(depth);
  Node* parent = depth == 0 ? nullptr : open_.back();
  const HeaderLine header{std::string_view(text_ + line_begin, line_end - line_begin), eol,
                          line_number_};
  current_ = document_->NewNode(parent, name, &header);
  open_.push_back(current_);
  return true;
}

void Parser::HandleAttribute(const LineShape& shape, std::size_t line_begin, std::size_t line_end,
                             Eol eol) {
  const AttributeParts parts = SplitAttribute(text_, shape, line_end);
  const std::size_t key_begin = parts.key_begin;
  const std::size_t key_end = parts.key_end;
  const std::size_t value_begin = parts.value_begin;
  const std::size_t value_end = parts.value_end;

  const std::size_t size = value_end - value_begin;
  std::string_view value;
  if (parts.quoted) {
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
