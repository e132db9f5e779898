// Reads and writes INI files on disk.
#ifndef KESTRINE_INI_FILE_H
#define KESTRINE_INI_FILE_H

#include <string>
#include <string_view>

#include "ini/document.h"
#include "ini/parser.h"
#include "ini/stream_reader.h"
#include "platform/error.h"
#include "platform/file_reader.h"
#include "platform/folder.h"

namespace kestrine::ini {

/// Reads the file at `path` (backslashes taken as separators) with
/// platform::ReadWholeFile and parses it as Parse does. When the file cannot
/// be read, `error` has line 0 and says why.
bool LoadFile(std::string_view path, Document* out, Error* error);

/// As LoadFile, for the file `name` of the opened `folder`; `id`, when not
/// null, is set to the file that was read.
bool LoadFile(const platform::Folder& folder, const std::string& name, Document* out,
              platform::FileId* id, Error* error);

/// A file on disk as the source of a StreamReader.
class FileSource final : public ByteSource {
 public:
  /// Opens the file at `path` (backslashes taken as separators) as LoadFile
  /// reads it; on failure `error` (when not null) has line 0 and says why.
  bool Open(std::string_view path, Error* error);
  bool Read(char* into, std::size_t room, std::size_t* got, Error* error) override;

 private:
  platform::FileReader file_;
};

/// Writes the document to `path` (backslashes taken as separators) with
/// WriteFileAtomically; on failure `error` (when not null) says why.
bool SaveFile(const Document& document, std::string_view path, Error* error);

/// As SaveFile, for the file `name` of the opened `folder`; `expected` as
/// for WriteFileAtomically.
bool SaveFile(const Document& document, const platform::Folder& folder, const std::string& name,
              platform::FileId* expected, Error* error);

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_FILE_H
