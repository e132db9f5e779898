#include "record_encoding.h"

#include <CLI/CLI.hpp>

#include <variant>

#include "command_error.h"
#include "display_text.h"
#include "record_from_json.h"

namespace kestrine::tool {
namespace {

// Every text field of the table (passwords included) through `convert`,
// which returns false to stop at that field; null when all went through.
template <class Convert>
const kestrine::Field* EachText(CService& record, Convert convert) {
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    const kestrine::Field& field = *FieldAt(i);
    if (field.access.getText == nullptr) continue;
    std::string text;
    if (!convert(std::string_view(field.access.getText(record)), &text)) return &field;
    field.access.setText(record, text.c_str());
  }
  return nullptr;
}

std::string EncodingHelp() {
  return std::string("give the file's encoding with --encoding NAME (or ") + kEncodingVariable +
         ")";
}

}  // namespace

void AddEncodingOption(CLI::App& command, std::string& name) {
  command
      .add_option("--encoding", name,
                  "The encoding of the services file's texts, any the system converts: "
                  "windows-1252, windows-1251, cp932, utf-8, ... (default: $" +
                      std::string(kEncodingVariable) + ", else utf-8)")
      ->envname(kEncodingVariable)
      ->check(CLI::Validator(
          [](std::string& text) {
            return TextEncoding::Find(text) ? std::string() : "unknown encoding " + Quoted(text);
          },
          "NAME"));
}

TextEncoding EncodingNamed(const std::string& name) {
  std::optional<TextEncoding> encoding = TextEncoding::Find(name);
  if (!encoding) throw UsageError("unknown encoding " + Quoted(name) + " (--encoding)");
  return *encoding;
}

CService Utf8Record(const CService& record, const TextEncoding& encoding, const std::string& file) {
  CService copy(record);
  const kestrine::Field* bad = EachText(copy, [&encoding](std::string_view text, std::string* out) {
    return encoding.ToUtf8(text, out);
  });
  if (bad != nullptr) {
    throw CommandError(kExitFailure, file + ": service " + Quoted(record.GetName()) + ": " +
                                         bad->key + " is not valid " + encoding.name() + " text; " +
                                         EncodingHelp());
  }
  return copy;
}

std::string ShownText(std::string_view text, const TextEncoding& encoding) {
  std::string shown;
  return encoding.ToUtf8(text, &shown) ? shown : std::string(text);
}

CService ShownRecord(const CService& record, const TextEncoding& encoding) {
  CService copy(record);
  EachText(copy, [&encoding](std::string_view text, std::string* out) {
    *out = ShownText(text, encoding);
    return true;
  });
  return copy;
}

std::string FileText(std::string_view text, const TextEncoding& encoding, const std::string& what,
                     int status) {
  std::string encoded;
  if (encoding.IsUtf8()) return std::string(text);
  if (encoding.FromUtf8(text, &encoded)) return encoded;
  // The text itself is not repeated: it may be a password.
  throw CommandError(status, what + " holds a character that " + encoding.name() +
                                 " cannot hold (or is not UTF-8); nothing was changed");
}

void ToFileEncoding(JsonRecord& record, const TextEncoding& encoding, const std::string& where) {
  for (auto& [field, value] : record.values) {
    if (auto* text = std::get_if<std::string>(&value)) {
      *text = FileText(*text, encoding, where + ": " + field->key, kExitFailure);
    }
  }
  record.name = FileText(record.name, encoding, where + ": Name", kExitFailure);
}

}  // namespace kestrine::tool
