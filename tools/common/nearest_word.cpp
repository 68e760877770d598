#include "nearest_word.h"

#include <algorithm>
#include <cctype>

namespace tavrin::cli {

namespace {
std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Edits that turn `a` into `b`: insertions, deletions, changes and swaps of
// two neighbours (optimal string alignment).
std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}
}  // namespace

std::string NearestWord(const std::string& word, const std::vector<std::string>& candidates) {
  if (std::find(candidates.begin(), candidates.end(), word) != candidates.end()) return {};
  std::string typed = Lower(word);
  std::size_t letters = typed.size() - std::min(typed.find_first_not_of('-'), typed.size());
  std::size_t nearest_distance = (letters > 4 ? 2 : 1) + 1;
  std::string nearest;
  for (const std::string& candidate : candidates) {
    std::size_t distance = EditDistance(typed, Lower(candidate));
    if (distance < nearest_distance) {
      nearest = candidate;
      nearest_distance = distance;
    }
  }
  return nearest;
}

}  // namespace tavrin::cli
