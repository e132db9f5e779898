#include "record_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <iterator>

#include "command_error.h"
#include "record_encoding.h"
#include "record_fields.h"
#include "secrets_stdin.h"

namespace kestrine::tool {
namespace {

// One option: the field it sets, its names and help. A text option takes a
// text, a number option a 32-bit number; a flag is given as --x or --no-x;
// a password is read from standard input, on line `stdin_line` when more
// than one is.
struct RecordOption {
  const char* key;
  const char* names;
  const char* help;
  int stdin_line = 0;
};

// In the order of the help.
constexpr RecordOption kOptions[] = {
    {"WSDLLocation", "--wsdl", "Where the WSDL lies"},
    {"ServiceName", "--service-name", "The service's name"},
    {"ServiceAddress", "--endpoint", "The service's address"},
    {"Description", "--description", "A description"},
    {"LocationType", "--location-type",
     "Where the WSDL comes from: 0 file, 1 address, 2 UDDI (default -1, not set)"},
    {"UDDIServer", "--uddi-server", "UDDI server (makes the type 2)"},
    {"UDDIVersion", "--uddi-version", "UDDI version (makes the type 2)"},
    {"UDDIServiceKey", "--uddi-key", "UDDI service key (makes the type 2)"},
    {"ProxyServerName", "--proxy-server", "Proxy server (uses the proxy)"},
    {"ProxyPortNumber", "--proxy-port", "Proxy port (uses the proxy)"},
    {"ProxyUserName", "--proxy-user", "Proxy user name (uses the proxy)"},
    {"ProxyPassword", "--proxy-password-stdin",
     "Read the proxy password from standard input (uses the proxy)", 2},
    {"UserName", "--user", "User name (uses the credentials)"},
    {"Password", "--password-stdin",
     "Read the password from standard input (uses the credentials); with "
     "--proxy-password-stdin too, the first line is this password",
     1},
    {"JmsRequestQueue", "--jms-request-queue", "JMS request queue (uses the JMS transport)"},
    {"JmsResponseQueue", "--jms-response-queue", "JMS response queue (uses the JMS transport)"},
    {"KeepUpToDate", "--keep-up-to-date,!--no-keep-up-to-date",
     "Keep up to date with the WSDL (or not)"},
    {"OverrideServiceAddress", "--override-address,!--no-override-address",
     "Override the service address (or not)"},
    {"ZR_ID", "--zr-id", "Link the record to this ZR record"},
};
constexpr std::size_t kOptionCount = std::size(kOptions);

const Field& FieldOf(const RecordOption& option) { return *FindField(option.key); }

// The first name of the option, as the command line spells it.
std::string Spelled(const RecordOption& option) {
  const std::string names = option.names;
  return names.substr(0, names.find(','));
}

}  // namespace

RecordOptions::RecordOptions() : given(kOptionCount) {}

bool RecordOptions::Group(FieldGroup group) const {
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    if (given[i].Any() && FieldOf(kOptions[i]).group == group) return true;
  }
  return false;
}

bool RecordOptions::Any() const {
  return std::any_of(given.begin(), given.end(), [](const Given& option) { return option.Any(); });
}

void AddRecordOptionsTo(CLI::App& command, RecordOptions& options) {
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    const RecordOption& option = kOptions[i];
    RecordOptions::Given& given = options.given[i];
    const Field& field = FieldOf(option);
    if (field.kind == FieldKind::kSecret) {
      command.add_flag(option.names, given.from_stdin, option.help);
    } else if (field.kind == FieldKind::kFlag) {
      // Set only when given (a flag bound to an optional would read false
      // when absent): --no-... counts negative.
      command.add_flag_function(
          option.names, [&given](std::int64_t count) { given.flag = count > 0; }, option.help);
    } else if (field.kind == FieldKind::kNumber) {
      command.add_option(option.names, given.number, option.help);
    } else {
      command.add_option(option.names, given.text, option.help);
    }
  }
}

void CheckRecordOptions(const RecordOptions& options) {
  // A switch set by an option of its own to a value that keeps the group off.
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    const RecordOptions::Given& given = options.given[i];
    if (!given.number) continue;
    for (const Field& field : Fields()) {
      const Field* switchField = SwitchOf(field.group);
      if (switchField != &FieldOf(kOptions[i]) || !options.Group(field.group)) continue;
      const GroupRule& rule = RuleOf(field.group);
      if (*given.number == rule.onValue) break;
      std::string names;
      for (const RecordOption& option : kOptions) {
        if (FieldOf(option).group != field.group) continue;
        names += (names.empty() ? "" : ", ") + Spelled(option);
      }
      throw UsageError("the " + std::string(rule.name) + " options (" + names + ") make " +
                       switchField->key + " " + std::to_string(rule.onValue) + "; " +
                       Spelled(kOptions[i]) + " " + std::to_string(*given.number) +
                       " contradicts them");
    }
  }
}

StdinSecrets ReadSecrets(const RecordOptions& options, const TextEncoding& encoding) {
  std::vector<const RecordOption*> asked;
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    if (options.given[i].from_stdin) asked.push_back(&kOptions[i]);
  }
  std::sort(asked.begin(), asked.end(), [](const RecordOption* a, const RecordOption* b) {
    return a->stdin_line < b->stdin_line;
  });
  StdinSecrets secrets;
  for (const RecordOption* option : asked) {
    // Named after the option: --proxy-password-stdin reads the "proxy password".
    std::string what = Spelled(*option).substr(2);
    what.erase(what.rfind("-stdin"));
    std::replace(what.begin(), what.end(), '-', ' ');
    secrets.values.emplace_back(
        option->key,
        FileText(ReadSecretLine(std::cin, what), encoding,
                 "the " + what + " (" + option->key + ") on standard input", kExitFailure));
  }
  return secrets;
}

RecordOptions EncodedRecordOptions(RecordOptions options, const TextEncoding& encoding) {
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    std::optional<std::string>& text = options.given[i].text;
    if (!text) continue;
    text =
        FileText(*text, encoding, Spelled(kOptions[i]) + " (" + kOptions[i].key + ")", kExitUsage);
  }
  return options;
}

void ApplyRecordOptions(const RecordOptions& options, const StdinSecrets& secrets,
                        CService& record) {
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    const RecordOptions::Given& given = options.given[i];
    if (!given.Any()) continue;
    const Field& field = FieldOf(kOptions[i]);
    if (field.group != FieldGroup::kAlways) SetGroupOn(record, field.group);
    if (given.from_stdin) {
      for (const auto& [key, secret] : secrets.values) {
        if (key == field.key) field.set(record, secret);
      }
    } else if (given.flag) {
      field.set(record, *given.flag);
    } else if (given.number) {
      field.set(record, static_cast<long>(*given.number));
    } else {
      field.set(record, *given.text);
    }
  }
}

}  // namespace kestrine::tool
