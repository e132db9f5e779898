// Bash completion: the installed script, run by bash as the shell runs it,
// asking the built tool what may come next.
#include <stdio.h>

#include <set>
#include <sstream>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

std::string ShellQuoted(const std::string& word) {
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// What the completion function offers for the command line `words` (after
// "kestrine"; the last word is the one being typed).
std::set<std::string> Offered(const std::vector<std::string>& words) {
  std::string command =
      "bash --norc -c 'source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); "
      "_kestrine \"$1\"; printf \"%s\\n\" \"${COMPREPLY[@]}\"' _ " +
      ShellQuoted(KESTRINE_COMPLETION_SCRIPT) + ' ' + ShellQuoted(KESTRINE_TOOL_PATH);
  for (const std::string& word : words) command += ' ' + ShellQuoted(word);
  std::set<std::string> offered;
  FILE* out = ::popen(command.c_str(), "r");
  if (out == nullptr) return offered;
  std::string line;
  for (int c; (c = std::fgetc(out)) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
    } else if (!line.empty()) {
      offered.insert(line);
      line.clear();
    }
  }
  EXPECT_EQ(::pclose(out), 0) << command;
  return offered;
}

std::set<std::string> Split(const std::string& words) {
  std::istringstream in(words);
  std::set<std::string> set;
  for (std::string word; in >> word;) set.insert(word);
  return set;
}

class Completion : public ToolTest {};

TEST_F(Completion, OffersWhatTheToolTakes) {
  const std::string orders = Script("Orders");
  const struct {
    std::vector<std::string> words;
    std::string offered;  // all of them
    std::string not_offered;
  } cases[] = {
      {{""}, "list show get export find add set remove import check", "--help __complete"},
      {{"re"}, "remove", "list"},
      {{"-"}, "--help --version", "list"},
      {{"list", "--"}, "--help --json --show-secrets", "--version --first"},
      {{"add", orders, "--q"}, "--quiet", ""},
      // The shared spellings of a selection; find's first ones are not offered.
      {{"find", "--"},
       "--under --match-wsdl --match-endpoint --match-service-name --match-name",
       "--wsdl --name"},
      {{"check", "--"}, "--under --json --match-name", ""},
      {{"show", orders, "Order"}, "OrderEntry OrderEntryTest OrderStatus", "ShippingQuote"},
      // A flag takes no value: the word after it is the folder.
      {{"show", "--json", orders, ""}, "OrderEntry ShippingQuote", "--json"},
      {{"remove", orders, "Order", ""}, "", "OrderEntry"},
      // A FIELD is a key of the services file.
      {{"get", orders, "OrderEntry", "Proxy"},
       "ProxyUserName ProxyServerName ProxyPortNumber ProxyPassword",
       "UseProxy OrderEntry"},
      {{"set", orders, "Order"}, "OrderEntry OrderStatus", "ShippingQuote"},
      {{"show", Script("Nowhere"), ""}, "", "OrderEntry"},
      {{"list", Script("Ord")}, orders, Script("Billing")},
      // An option's value: a file name.
      {{"add", orders, "--wsdl", orders + "/WSDL/web_"}, orders + "/WSDL/web_services.ini", ""},
  };
  for (const auto& c : cases) {
    const std::set<std::string> offered = Offered(c.words);
    std::string label;
    for (const std::string& word : c.words) label += " [" + word + "]";
    for (const std::string& word : Split(c.offered)) {
      EXPECT_EQ(offered.count(word), 1U) << label << " does not offer " << word;
    }
    for (const std::string& word : Split(c.not_offered)) {
      EXPECT_EQ(offered.count(word), 0U) << label << " offers " << word;
    }
  }
}

// A name with blanks or quotes is offered as one shell word.
TEST_F(Completion, QuotesServiceNames) {
  const ToolResult add =
      RunTool({"add", Script("Orders"), "--name", "Order's Entry", "--wsdl", "w"});
  ASSERT_EQ(add.status, 0) << add.err;
  EXPECT_EQ(Offered({"show", Script("Orders"), "Order'"}),
            std::set<std::string>{"Order\\'s\\ Entry"});
}

}  // namespace
}  // namespace kestrine::testing
