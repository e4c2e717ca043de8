#include "host/driver/path_suggestions.h"

#include <algorithm>
#include <cctype>

namespace pavlex::host {
namespace {

size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::vector<std::string> NearestPaths(const std::string& wanted, const std::vector<std::string>& known,
                                      size_t count) {
  std::vector<std::pair<size_t, std::string>> scored;
  for (const std::string& path : known) {
    if (std::any_of(scored.begin(), scored.end(), [&](const auto& s) { return s.second == path; })) continue;
    size_t score = EditDistance(wanted, path);
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos) score = std::min(score, EditDistance(wanted, path.substr(slash + 1)) + 1);
    scored.emplace_back(score, path);
  }
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (size_t i = 0; i < scored.size() && i < count; ++i) out.push_back(scored[i].second);
  return out;
}

}  // namespace pavlex::host
