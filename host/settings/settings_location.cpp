#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "host/settings/settings_file.h"

namespace pavlex::host {

std::string DefaultSettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/pavlex/settings.xml";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') {
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home == nullptr || home[0] == '\0') return std::string();
  return std::string(home) + "/.config/pavlex/settings.xml";
}

}  // namespace pavlex::host
