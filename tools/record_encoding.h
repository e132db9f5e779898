// The encoding of a services file's texts (--encoding) applied to what the
// tool prints and takes: the file holds bytes in that encoding, the command
// line, standard input and JSON are UTF-8. The library stays byte-based;
// every conversion happens here, field by field of the library's field table.
#ifndef KESTRINE_TOOLS_RECORD_ENCODING_H
#define KESTRINE_TOOLS_RECORD_ENCODING_H

#include <kestrine/kestrine.h>

#include <string>
#include <string_view>

#include "text_encoding.h"

namespace CLI {
class App;
}

namespace kestrine::tool {

struct JsonRecord;

/// The variable that gives --encoding its default.
inline constexpr char kEncodingVariable[] = "KESTRINE_ENCODING";

/// Adds --encoding NAME to `command`, bound to `name`: the encoding of the
/// services file's texts, by default KESTRINE_ENCODING's value, else UTF-8.
/// A name the converter does not know is a usage error that names it.
void AddEncodingOption(CLI::App& command, std::string& name);

/// The encoding of `name`. Throws UsageError for one the converter does not know.
TextEncoding EncodingNamed(const std::string& name);

/// A copy of `record` with every text as UTF-8, for JSON. Throws CommandError
/// (status 1) for a text that is not valid in `encoding`, naming `file` (as
/// shown in messages), the record, the field and --encoding.
CService Utf8Record(const CService& record, const TextEncoding& encoding, const std::string& file);

/// `text` as the text forms print it: as UTF-8 when it is valid in
/// `encoding`, else its bytes as they are.
std::string ShownText(std::string_view text, const TextEncoding& encoding);

/// A copy of `record` with each text as ShownText gives it.
CService ShownRecord(const CService& record, const TextEncoding& encoding);

/// `text`, given in UTF-8, in `encoding`, for the file. With UTF-8 the bytes
/// pass as they are (as the shell gave them). Throws CommandError(`status`)
/// naming `what` when the text holds a character `encoding` cannot hold
/// (or is not UTF-8).
std::string FileText(std::string_view text, const TextEncoding& encoding, const std::string& what,
                     int status);

/// The texts of `record` (read from JSON) in `encoding`, as FileText with
/// status 1; `where` names the record in messages.
void ToFileEncoding(JsonRecord& record, const TextEncoding& encoding, const std::string& where);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_RECORD_ENCODING_H
