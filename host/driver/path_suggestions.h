// The known widget paths nearest to one a user mistyped.
#pragma once

#include <string>
#include <vector>

namespace pavlex::host {

// Up to `count` entries of `known` nearest to `wanted`, nearest first, by
// case-insensitive edit distance; a path is also measured by its last
// component alone, so "Sew" finds "Grab/Sew". Duplicates are listed once.
std::vector<std::string> NearestPaths(const std::string& wanted, const std::vector<std::string>& known,
                                      size_t count);

}  // namespace pavlex::host
