// A script folder in a fresh temporary folder, with its "WSDL" folder and
// whole-file access to its services file.
#ifndef KESTRINE_TESTS_SUPPORT_TEMP_SCRIPT_H
#define KESTRINE_TESTS_SUPPORT_TEMP_SCRIPT_H

#include <filesystem>
#include <string>

#include "temp_files.h"

namespace kestrine::testing {

class TempScript {
 public:
  /// With `withWsdlFolder` false the "WSDL" folder is not created.
  explicit TempScript(bool withWsdlFolder = true) {
    if (withWsdlFolder) std::filesystem::create_directory(dir_ / "WSDL");
  }

  /// The script folder, as a caller passes it.
  const std::string& path() const { return dir_.path(); }
  const char* c_str() const { return dir_.path().c_str(); }
  /// The services file as the operating system names it.
  std::string FilePath() const { return dir_.path() + "/WSDL/web_services.ini"; }

  void Write(const std::string& bytes) const { WriteBytes(FilePath(), bytes); }
  std::string Read() const { return ReadBytes(FilePath()); }
  bool FileExists() const { return std::filesystem::exists(FilePath()); }

 private:
  TempDir dir_;
};

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_SUPPORT_TEMP_SCRIPT_H
