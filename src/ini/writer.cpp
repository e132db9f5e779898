#include "ini/writer.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "ini/escape.h"
#include "ini/line_end.h"

namespace kestrine::ini {
namespace {

// Emits the lines in tree order: the preamble, then each node's header and
// body followed by its children, depth first. For a document as read this is
// file order; an added child thus lands after the last line of its parent's
// subtree and an added root at the end.
class Writer {
 public:
  explicit Writer(const Document& document) : document_(document) {}

  std::string Run();

 private:
  void EmitText(std::string_view text, Eol eol);
  void EndPendingLine();
  void EmitEol(Eol eol);
  void EmitNode(const Node& node);
  void EmitAddedHeader(const Node& node);
  Eol AddedLineEol(Eol eol, const Line* next) const;

  const Document& document_;
  std::string out_;
  bool pending_ = false;       // the last line written had no line ending
  Eol last_eol_ = Eol::kNone;  // the last line ending written
  std::vector<const Node*> path_;
};

}  // namespace

void Writer::EmitEol(Eol eol) {
  // A line added takes the ending the file uses, whichever of LF, CR LF, CR
  // or CR CR LF that is: a file keeps one kind of ending.
  last_eol_ = eol == Eol::kDocument ? document_.new_line_eol() : eol;
  out_.append(EolText(last_eol_));
}

void Writer::EndPendingLine() {
  if (!pending_) return;
  pending_ = false;
  // A last line read without an ending gets one now that a line follows it.
  // (Its text holds no CR: any CR read is a line ending.)
  EmitEol(Eol::kDocument);
}

void Writer::EmitText(std::string_view text, Eol eol) {
  EndPendingLine();
  out_.append(text);
  if (eol == Eol::kNone) {
    pending_ = true;
  } else {
    EmitEol(eol);
  }
}

void Writer::EmitAddedHeader(const Node& node) {
  // A blank line sets the new section apart, unless it would open the file.
  // After a line that ends in CR alone, the blank line ends so too: an LF
  // or CR LF would join that CR into one ending.
  const std::size_t start = document_.bom() ? 3 : 0;
  if (out_.size() > start || pending_) {
    EmitText({}, !pending_ && last_eol_ == Eol::kCr ? Eol::kCr : Eol::kDocument);
  }
  EndPendingLine();
  path_.clear();
  for (const Node* at = &node; at != nullptr; at = at->parent()) path_.push_back(at);
  out_.push_back('[');
  for (auto it = path_.rbegin(); it != path_.rend(); ++it) {
    if (it != path_.rbegin()) out_.push_back('\\');
    out_.append((*it)->name());
  }
  out_.push_back(']');
  EmitEol(Eol::kDocument);
}

void Writer::EmitNode(const Node& node) {
  if (node.added()) {
    EmitAddedHeader(node);
  } else {
    EmitText(node.header(), node.header_eol());
  }
  std::string line;
  const auto& body = node.body();
  for (std::size_t i = 0; i < body.size(); ++i) {
    const Line& body_line = body[i];
    if (body_line.attribute == Line::kNoAttribute ||
        !node.attributes()[body_line.attribute].rewritten()) {
      EmitText(document_.LineText(body_line), body_line.eol);
      continue;
    }
    const Attribute& attribute = node.attributes()[body_line.attribute];
    if (attribute.line() != 0) {
      // A line read keeps its key as spelled, the "=" and the blanks after
      // it; the old value's text, trailing blanks included, is replaced.
      const std::string_view read = document_.LineText(body_line);
      std::size_t value_begin = read.find('=') + 1;
      while (value_begin < read.size() && IsBlank(read[value_begin])) ++value_begin;
      line.assign(read.substr(0, value_begin));
    } else {
      line.assign(attribute.key());
      line.push_back('=');
    }
    AppendValueText(attribute.value(), &line);
    EmitText(line, AddedLineEol(body_line.eol, i + 1 < body.size() ? &body[i + 1] : nullptr));
  }
}

Eol Writer::AddedLineEol(Eol eol, const Line* next) const {
  // A CR alone before an empty line read with LF or CR LF would join that
  // line's ending into one: the added line then ends in CR LF instead.
  if (eol != Eol::kDocument || document_.new_line_eol() != Eol::kCr || next == nullptr ||
      next->size != 0 || (next->eol != Eol::kLf && next->eol != Eol::kCrLf)) {
    return eol;
  }
  return Eol::kCrLf;
}

std::string Writer::Run() {
  out_.reserve(document_.text_size() + 64);
  if (document_.bom()) out_.append("\xEF\xBB\xBF");
  for (const Line& line : document_.preamble()) EmitText(document_.LineText(line), line.eol);

  // Depth first without recursion: nesting is as deep as the file says.
  std::vector<const Node*> stack(document_.roots().rbegin(), document_.roots().rend());
  while (!stack.empty()) {
    const Node* node = stack.back();
    stack.pop_back();
    EmitNode(*node);
    stack.insert(stack.end(), node->children().rbegin(), node->children().rend());
  }
  return std::move(out_);
}

std::string Serialize(const Document& document) { return Writer(document).Run(); }

}  // namespace kestrine::ini
