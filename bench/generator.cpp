// Deterministic services files for the benchmarks.
#include "generator.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace kestrine_bench {
namespace {

// splitmix64: a fixed, portable sequence (the standard distributions may give
// different numbers with another standard library, so they are not used).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  /// A number in [0, bound); bound > 0.
  std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }
  /// True with probability 1/n.
  bool OneIn(std::uint64_t n) { return Below(n) == 0; }
  template <typename T, std::size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(Below(N))];
  }

 private:
  std::uint64_t state_;
};

constexpr std::array<const char*, 16> kDomains = {
    "Account", "Billing", "Customer", "Inventory", "Order", "Payment", "Shipping", "Pricing",
    "Catalog", "Invoice", "Ledger",   "Partner",   "Quote", "Report",  "Ticket",   "Weather"};
constexpr std::array<const char*, 12> kNouns = {"Lookup", "Query",  "Update",  "Sync",
                                                "Export", "Import", "Check",   "Notify",
                                                "Search", "Create", "Archive", "Status"};
constexpr std::array<const char*, 10> kUsers = {"jdoe",    "asmith", "mgarcia", "lchen",  "pnovak",
                                                "kmuller", "rossi",  "tnguyen", "ebrown", "qa_bot"};
constexpr std::array<const char*, 40> kWords = {
    "returns",  "the",       "current",  "status",   "of",      "an",      "order",     "for",
    "a",        "customer",  "account",  "and",      "updates", "records", "in",        "legacy",
    "backend",  "system",    "used",     "by",       "nightly", "batch",   "test",      "scripts",
    "regional", "warehouse", "invoices", "with",     "retries", "timeout", "endpoint",  "mock",
    "staging",  "partner",   "gateway",  "requires", "valid",   "session", "migration", "v2"};
constexpr char kHex[] = "0123456789abcdef";
constexpr char kAlnum[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";

std::string Digits(std::uint64_t value, int width) {
  char buffer[32] = {};
  std::snprintf(buffer, sizeof buffer, "%0*llu", width, static_cast<unsigned long long>(value));
  return buffer;
}

std::string RandomText(Random& random, const char* alphabet, std::size_t alphabetSize,
                       std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    text.push_back(alphabet[static_cast<std::size_t>(random.Below(alphabetSize))]);
  }
  return text;
}

std::string Uuid(Random& random) {
  return RandomText(random, kHex, 16, 8) + "-" + RandomText(random, kHex, 16, 4) + "-" +
         RandomText(random, kHex, 16, 4) + "-" + RandomText(random, kHex, 16, 4) + "-" +
         RandomText(random, kHex, 16, 12);
}

// 40 to 200 characters of words ending in a full stop; a third of them with
// line breaks.
std::string Description(Random& random) {
  const std::size_t length = 40 + static_cast<std::size_t>(random.Below(160));
  const bool breaks = random.OneIn(3);
  std::string text;
  while (text.size() < length) {
    if (!text.empty()) {
      if (breaks && random.OneIn(6)) {
        text += "\r\n";
      } else {
        text += ' ';
      }
    }
    text += random.Pick(kWords);
  }
  text.resize(length);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.pop_back();
  text.push_back('.');
  return text;
}

constexpr long kFirstCreation = 1104537600L;  // 2005-01-01 00:00:00 UTC
constexpr long kCreationSpan = 599616000L;    // 19 years
constexpr long kSyncSpan = 63072000L;         // 2 years

// The location shared by about two records of a set of `count`.
struct Location {
  std::uint64_t number = 0;
  LocationTypesEnum type = LocationURL;
  std::string wsdl;
  std::string serviceName;
  std::string host;
};

Location MakeLocation(std::uint64_t number) {
  Random random(number * 0x2545F4914F6CDD1DULL + 17);
  Location location;
  location.number = number;
  const std::string domain = random.Pick(kDomains);
  const std::string noun = random.Pick(kNouns);
  location.serviceName = domain + noun + "Service" + std::to_string(number);
  location.host = "srv" + Digits(random.Below(60), 2) + ".corp.example.com";
  if (number % 10 == 3) {
    location.type = LocationUDDI;
    location.wsdl = "http://" + location.host + ":8080/uddi/" + domain + noun + "_" +
                    std::to_string(number) + "?wsdl";
  } else if (number % 3 == 0) {
    location.type = LocationFile;
    // Written with backslashes; the record keeps forward slashes.
    location.wsdl = "C:\\Projects\\Contracts\\" + domain + "\\" + domain + noun + "_" +
                    std::to_string(number) + ".wsdl";
  } else {
    location.type = LocationURL;
    location.wsdl = "http://" + location.host + ":8080/ws/" + domain + "/" + noun + "_" +
                    std::to_string(number) + "?wsdl";
  }
  return location;
}

class Builder : public CServiceRepositoryLight {
 public:
  using CServiceRepositoryLight::AddService;
};

}  // namespace

CService MakeService(int index, int count) {
  const auto position = static_cast<std::uint64_t>(index);
  Random random(position * 0x9E3779B97F4A7C15ULL + 0x1234567ULL);
  const std::uint64_t locations = count > 1 ? static_cast<std::uint64_t>(count) / 2 : 1;
  const Location location = MakeLocation(random.Below(locations));

  CService record;
  record.SetName(
      (std::string(random.Pick(kDomains)) + random.Pick(kNouns) + "_" + Digits(position, 6))
          .c_str());
  record.SetCreatedBy(random.Pick(kUsers));
  record.SetDescription(Description(random).c_str());
  record.SetServiceName(location.serviceName.c_str());
  record.SetWSDLLocation(location.wsdl.c_str());
  record.SetServiceAddress(("http://" + location.host + ":" +
                            std::to_string(8080 + random.Below(4)) + "/ws/" + location.serviceName)
                               .c_str());
  record.SetLocationType(location.type);
  if (location.type == LocationUDDI) {
    record.SetUDDIServer(
        ("http://uddi" + Digits(random.Below(4), 1) + ".example.org/inquiry").c_str());
    record.SetUDDIVersion(random.OneIn(2) ? 2 : 3);
    record.SetUDDIServiceKey(("uuid:" + Uuid(random)).c_str());
  }
  record.SetKeepUpToDate(random.OneIn(2));
  record.SetOverrideServiceAddress(random.OneIn(4));

  const long creation = kFirstCreation + static_cast<long>(random.Below(kCreationSpan));
  const long sync = creation + static_cast<long>(random.Below(kSyncSpan));
  record.SetCreationDate(creation);
  record.SetLastSyncWithWSDL(sync);

  if (random.OneIn(5)) {
    record.SetLinkedToZR(true);
    record.SetZRID(static_cast<int>(1000 + random.Below(900000)));
    record.SetLastSyncWithWSDLZROrig(sync - static_cast<long>(random.Below(2592000)));
  }
  if (random.OneIn(3)) {
    record.SetUseProxySettings(true);
    record.SetProxyUserName(("proxy_" + std::string(random.Pick(kUsers))).c_str());
    record.SetProxyServerName(("proxy" + Digits(random.Below(8), 1) + ".corp.example.com").c_str());
    record.SetProxyPortNum(random.OneIn(2) ? "8080" : "3128");
    record.SetProxyPassword(RandomText(random, kAlnum, sizeof kAlnum - 1, 12).c_str());
  }
  if (random.OneIn(2)) {
    record.SetUseSecuritySettings(true);
    record.SetUserName(
        ("svc_" + std::string(random.Pick(kUsers)) + Digits(random.Below(100), 2)).c_str());
    record.SetUserPassword(RandomText(random, kAlnum, sizeof kAlnum - 1, 14).c_str());
  }
  if (random.OneIn(8)) {
    record.SetIsJMSTransport(true);
    const std::string queue = "queue/" + location.serviceName;
    record.SetJMSRequestQueue((queue + ".Request").c_str());
    record.SetJMSResponseQueue((queue + ".Response").c_str());
  }
  return record;
}

std::string IniPathOf(const std::string& folder) { return folder + "/WSDL/web_services.ini"; }

namespace {

// Writes `count` records, record i made by make(i), as the services file of
// `folder`.
template <typename Make>
ScriptFiles WriteRecords(const std::string& folder, int count, Make make) {
  ScriptFiles files;
  files.count = count;
  files.folder = folder;
  files.iniPath = IniPathOf(folder);
  std::filesystem::create_directories(std::filesystem::path(folder) / "WSDL");

  Builder builder;
  for (int i = 0; i < count; ++i) {
    const CService record = make(i);
    if (builder.AddService(&record) != 0) {
      throw std::runtime_error(std::string("generator: cannot add ") + record.GetName());
    }
    files.names.emplace_back(record.GetName());
    files.wsdlLocations.emplace_back(record.GetWSDLLocation());
  }
  if (builder.SaveServicesToScript(folder.c_str()) != 0) {
    throw std::runtime_error("generator: cannot save the services file in " + folder);
  }
  files.bytes = std::filesystem::file_size(files.iniPath);
  return files;
}

}  // namespace

ScriptFiles WriteScript(const std::string& folder, int count) {
  return WriteRecords(folder, count, [count](int i) { return MakeService(i, count); });
}

ScriptFiles WriteLongDescriptionScript(const std::string& folder, std::size_t descriptionBytes) {
  return WriteRecords(folder, 1, [descriptionBytes](int i) {
    const std::string line = std::string(62, 'd') + "\r\n";
    std::string description;
    description.reserve(descriptionBytes + line.size());
    while (description.size() < descriptionBytes) description += line;
    description.resize(descriptionBytes);
    CService record = MakeService(i, 1);
    record.SetDescription(description.c_str());
    return record;
  });
}

void CopyWholeFile(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace kestrine_bench
