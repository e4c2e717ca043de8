// The settings file: where it lives, reading it at host start and writing
// it at host exit.
#pragma once

#include <ostream>
#include <string>

#include "host/settings/settings_service.h"

namespace pavlex::host {

// $XDG_CONFIG_HOME/pavlex/settings.xml when that variable holds an absolute
// path, else $HOME/.config/pavlex/settings.xml (the home folder from the
// password database when HOME is unset); empty when there is no home.
// On Windows: %APPDATA%\pavlex\settings.xml, the roaming application data
// folder from the shell when APPDATA is unset or not absolute.
std::string DefaultSettingsPath();

enum class SettingsFileState {
  kLoaded,    // read as it was
  kMissing,   // no file yet: fresh settings, the first save creates it
  kReplaced,  // damaged: reported, kept as <path>.damaged, fresh settings
  kBlocked,   // unreadable, or damaged and could not be kept aside:
              // reported, fresh settings, and the file must not be overwritten
};

// Loads `path` into `settings`; anything but kLoaded and kMissing writes one
// line to `report`.
SettingsFileState LoadSettingsFile(const std::string& path, SettingsService& settings, std::ostream& report);

// Writes the settings atomically and marks them saved. False with the reason
// in `error`; the file is then unchanged.
bool SaveSettingsFile(const std::string& path, SettingsService& settings, std::string* error);

}  // namespace pavlex::host
