#include "config/backup_command.h"

#include <sys/stat.h>

#include "config/backup_texts.h"
#include "platform/string_table.h"

namespace config {

bool BackupFileHost::fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::string proposedBackupName(const devices::CDevice& device) {
  std::string name(device.systemName.view());
  if (name.empty())
    if (const auto* ip = dynamic_cast<const devices::CIpDevice*>(&device)) name = ip->snmpAddress();
  if (name.empty()) name = "server";
  // A name from the network must not lead into another folder or hide the file.
  for (char& c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
        c == '|' || b == 0x7F)
      c = '_';
  }
  if (name.front() == '.') name.front() = '_';
  constexpr std::size_t kMax = 260 - 4;
  if (name.size() > kMax) name.resize(kMax);
  return name + ".cfg";
}

std::string overwriteQuestion(const std::string& path) {
  const char* t = platform::loadString(texts::kAskOverwrite);
  std::string s = t ? t : "The file \"%s\" already exists.  Overwrite file?";
  if (const std::size_t at = s.find("%s"); at != std::string::npos) s.replace(at, 2, path);
  return s;
}

CommandOutcome runSaveConfigurationCommand(ConfigCommandHost& host, BackupFileHost& files) {
  devices::CDevice* device = host.selectedDevice();
  if (!device) return CommandOutcome::NoDevice;
  const std::string file = files.askSaveFile(proposedBackupName(*device));
  if (file.empty()) return CommandOutcome::Cancelled;
  // "Yes" no longer empties the old file: the save replaces it only once the new one is complete.
  if (files.fileExists(file) && !files.askOverwrite(overwriteQuestion(file))) return CommandOutcome::Cancelled;
  return runConfigurationCommand(host, SheetMode::SaveToFile, file);
}

CommandOutcome runRestoreConfigurationCommand(ConfigCommandHost& host, BackupFileHost& files) {
  if (!host.selectedDevice()) return CommandOutcome::NoDevice;
  const std::string file = files.askOpenFile();
  if (file.empty()) return CommandOutcome::Cancelled;
  return runConfigurationCommand(host, SheetMode::RestoreFromFile, file);
}

}  // namespace config
