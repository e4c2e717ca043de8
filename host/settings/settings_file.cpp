#include "host/settings/settings_file.h"

#include <filesystem>
#include <system_error>

#include "host/io/file_read.h"
#include "platform/atomic_file.h"

namespace pavlex::host {
namespace {

// Enough to keep every damaged file a person could want to look at, few
// enough that a file damaged at every start cannot fill the folder.
constexpr int kMaxDamagedCopies = 100;

}  // namespace

SettingsFileState LoadSettingsFile(const std::string& path, SettingsService& settings, std::ostream& report) {
  std::string bytes, reason;
  switch (io::ReadRegularFile(path, &bytes, &reason, io::kMaxSettingsBytes)) {
    case io::RegularFileRead::kNotFound:
      return SettingsFileState::kMissing;
    case io::RegularFileRead::kFailed:
      report << "pavlex host: cannot read settings file '" << path << "': " << reason
             << "; using fresh settings, which will not be saved over it\n";
      return SettingsFileState::kBlocked;
    case io::RegularFileRead::kOk:
      break;
  }
  std::string problem;
  if (settings.load(bytes, &problem)) return SettingsFileState::kLoaded;

  // The user's file is not ours to destroy: keep it beside the new one,
  // under a name no earlier damaged file holds.
  std::string kept = path + ".damaged";
  std::error_code ignored;
  for (int n = 2; std::filesystem::symlink_status(std::filesystem::u8path(kept), ignored).type() !=
                      std::filesystem::file_type::not_found;
       ++n) {
    if (n > kMaxDamagedCopies) {
      report << "pavlex host: settings file '" << path << "' is damaged (" << problem << ") and "
             << kMaxDamagedCopies << " damaged copies are kept beside it already"
             << "; using fresh settings, which will not be saved over it\n";
      return SettingsFileState::kBlocked;
    }
    kept = path + ".damaged-" + std::to_string(n);
  }
  std::string failure;
  if (!platform::RenameFile(path, kept, &failure)) {
    report << "pavlex host: settings file '" << path << "' is damaged (" << problem
           << ") and cannot be kept aside (" << failure
           << "); using fresh settings, which will not be saved over it\n";
    return SettingsFileState::kBlocked;
  }
  report << "pavlex host: settings file '" << path << "' is damaged (" << problem
         << "); using fresh settings, the damaged file is kept as '" << kept << "'\n";
  return SettingsFileState::kReplaced;
}

bool SaveSettingsFile(const std::string& path, SettingsService& settings, std::string* error) {
  // The settings folder is ours to make on a first run.
  const std::filesystem::path folder = std::filesystem::u8path(path).parent_path();
  std::error_code failure;
  if (!folder.empty() && !std::filesystem::is_directory(folder, failure) &&
      !std::filesystem::create_directories(folder, failure)) {
    if (error != nullptr) {
      *error = "cannot create the folder '" + folder.u8string() + "': " +
               (failure ? failure.message() : std::string("it exists and is not a folder"));
    }
    return false;
  }
  const std::string text = settings.text();
  platform::FileFailure written;
  if (!platform::WriteFilesAtomically({{path, text}}, &written)) {
    if (error != nullptr) *error = written.Message();
    return false;
  }
  settings.markSaved();
  return true;
}

}  // namespace pavlex::host
