// A fresh folder under the system's temporary directory, removed with
// everything in it when the test ends. Works the same on Linux and under
// Windows, where there is no mkdtemp.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace pavlex::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "pavlex-test") {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    // create_directory answers false when the name is taken, which makes
    // the name ours alone once it answers true.
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate = base / (prefix + "-" + std::to_string(random() % 1000000007u));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    // Tests may leave read-only files and folders behind.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Empty when no folder could be made.
  const std::filesystem::path& path() const { return path_; }
  // Names are UTF-8, as the host takes them; Windows would otherwise read
  // a narrow name in its code page.
  std::string file(const std::string& name) const { return (path_ / std::filesystem::u8path(name)).u8string(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / std::filesystem::u8path(name); }

 private:
  std::filesystem::path path_;
};

}  // namespace pavlex::testing
