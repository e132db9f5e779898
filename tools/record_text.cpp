#include "record_text.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "display_text.h"
#include "local_time_text.h"

namespace kestrine::tool {
namespace {

class TextBuilder : public FieldVisitor {
 public:
  explicit TextBuilder(Secrets secrets) : secrets_(secrets) {}

  void Text(const char* field, const char* value) override { Add(field, Lines(value)); }
  void Secret(const char* field, const char* value) override {
    const bool hide = secrets_ == Secrets::kHide && *value != '\0';
    Add(field, hide ? std::vector<std::string>{kHiddenSecret} : Lines(value));
  }
  void Flag(const char* field, bool value) override { Add(field, {value ? "true" : "false"}); }
  void Number(const char* field, long value) override { Add(field, {std::to_string(value)}); }
  void Time(const char* field, long seconds) override {
    Add(field, {IsoLocalTime(seconds).value_or("none") + " (" + std::to_string(seconds) + ")"});
  }

  void Print(std::ostream& out) const {
    std::size_t width = 0;
    for (const auto& field : fields_) width = std::max(width, field.first.size());
    for (const auto& [name, lines] : fields_) {
      std::string head = name + ':';
      for (const std::string& line : lines) {
        // Padding only before a value: no line ends in blanks.
        if (!line.empty())
          out << head << std::string(width + 2 - head.size(), ' ') << line;
        else
          out << head;
        out << '\n';
        head.clear();
      }
    }
  }

 private:
  void Add(const char* field, std::vector<std::string> lines) {
    fields_.emplace_back(field, std::move(lines));
  }

  Secrets secrets_;
  std::vector<std::pair<std::string, std::vector<std::string>>> fields_;
};

}  // namespace

void PrintRecordText(std::ostream& out, const CService& record, Secrets secrets) {
  TextBuilder builder(secrets);
  VisitFields(record, builder);
  builder.Print(out);
}

}  // namespace kestrine::tool
