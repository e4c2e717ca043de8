// Setting and restoring environment variables in tests, on Linux and on
// Windows (which has no setenv).
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace pavlex::testing {

inline void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetEnvironment(const char* name) {
#ifdef _WIN32
  _putenv_s(name, "");  // an empty value removes the variable
#else
  ::unsetenv(name);
#endif
}

// Sets (or, with nullopt, removes) a variable and puts the old state back
// when the test ends.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    if (value) {
      SetEnvironment(name, *value);
    } else {
      UnsetEnvironment(name);
    }
  }
  ~ScopedEnvironment() {
    if (saved_) {
      SetEnvironment(name_, *saved_);
    } else {
      UnsetEnvironment(name_);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

}  // namespace pavlex::testing
