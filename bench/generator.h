// Deterministic services files for the benchmarks.
//
// The records are made from a fixed-seed generator (same bytes on every run
// and machine, given the same time zone) and written by the library's own
// writer (`CServiceRepositoryLight::SaveServicesToScript`), so the files have
// exactly the format, key order and escaping of a real services file.
#ifndef KESTRINE_BENCH_GENERATOR_H
#define KESTRINE_BENCH_GENERATOR_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <kestrine/kestrine.h>

namespace kestrine_bench {

/// Record number `index` (0-based) of a set of `count` records. The record
/// depends only on (index, count): about two records of a set share each
/// WSDL location, so the location space depends on the set's size.
///
/// Mix: descriptions of 40 to 200 characters (a third with line breaks),
/// a third with a proxy, half with credentials, a tenth found through UDDI,
/// a fifth linked to ZR, an eighth with a JMS transport; unique names.
CService MakeService(int index, int count);

/// Everything a benchmark needs to know about one generated script folder.
struct ScriptFiles {
  int count = 0;                           ///< services in the file
  std::string folder;                      ///< the script folder (Linux path)
  std::string iniPath;                     ///< folder + "/WSDL/web_services.ini"
  std::uintmax_t bytes = 0;                ///< size of the services file
  std::vector<std::string> names;          ///< every record name, generation order
  std::vector<std::string> wsdlLocations;  ///< every record's location, same order
};

/// Creates `folder` and `folder`/WSDL if needed and writes a services file of
/// `count` generated records into it. Throws std::runtime_error on failure.
ScriptFiles WriteScript(const std::string& folder, int count);

/// Likewise, one generated record whose description is `descriptionBytes`
/// long: lines of 62 characters, each ending in CR LF.
ScriptFiles WriteLongDescriptionScript(const std::string& folder, std::size_t descriptionBytes);

/// The services file below a script folder, as the operating system sees it.
std::string IniPathOf(const std::string& folder);

/// Replaces `to` with a copy of `from`; throws std::runtime_error on failure.
void CopyWholeFile(const std::string& from, const std::string& to);

}  // namespace kestrine_bench

#endif  // KESTRINE_BENCH_GENERATOR_H
