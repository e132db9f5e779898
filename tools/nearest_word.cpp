#include "nearest_word.h"

#include <algorithm>

namespace kestrine::tool {
namespace {

std::string_view Bare(std::string_view word) {
  word = word.substr(0, word.find('='));
  while (!word.empty() && word.front() == '-') word.remove_prefix(1);
  return word;
}

// Edits (insert, delete, replace, swap two neighbours) from `a` to `b`.
std::size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replace = d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string NearestWord(std::string_view word, const std::vector<std::string>& known) {
  const std::string_view bare = Bare(word);
  if (bare.empty()) return {};
  std::vector<std::string> begun;
  for (const std::string& candidate : known) {
    if (Bare(candidate) == bare) return candidate;
    if (Bare(candidate).substr(0, bare.size()) == bare) begun.push_back(candidate);
  }
  if (begun.size() == 1) return begun.front();
  const std::size_t limit = bare.size() <= 4 ? 1 : 2;
  std::string best;
  std::size_t best_distance = limit + 1;
  bool tie = false;
  for (const std::string& candidate : known) {
    const std::size_t distance = Distance(bare, Bare(candidate));
    if (distance < best_distance) {
      best = candidate;
      best_distance = distance;
      tie = false;
    } else if (distance == best_distance) {
      tie = true;
    }
  }
  return tie ? std::string() : best;
}

}  // namespace kestrine::tool
