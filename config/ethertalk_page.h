#pragma once
// The "EtherTalk" page: per output port whether it is offered on AppleTalk and its name, types
// and zone. The AppleTalk wildcard and separator characters @ = : * are kept out of names (a zone
// may be exactly "*", the default zone).
#include <cstdint>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "config/device_page.h"

namespace config {

inline constexpr const char* kTextEnterOneCharacter = "You must enter at least one character in the %s field.";
inline constexpr const char* kTextInvalidNameCharacters = "Invalid characters (@, =, :, *) in name.";
inline constexpr std::size_t kEtherTalkTextLimit = 32;

struct EtherTalkControls {
  bool portChoice = false;  // "&Port Number:", its label and "Port &Enabled" (two ports or more)
  bool fields = true;       // the four texts, only while the port is enabled
};

class CEtherTalkPage : public CDevicePage {
 public:
  explicit CEtherTalkPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix));

  const char* title() const override { return "EtherTalk"; }
  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override;
  void ShowValues() override;
  int SaveToFile(const std::string& path) override { return group_.saveBackupFile(path); }
  PageCheck check() override;
  std::vector<snmpaccess::CMibGroup*> groups() override { return {&group_}; }

  int portCount() const;
  int selectedPort() const { return selected_; }
  // Port changed: the shown port is checked and kept, then the new one shown.
  PageCheck selectPort(int index);
  EtherTalkControls controls() const;

  // The typing filter of the four fields: may `typed` go into `current`? `replacesAll` is true
  // when the typing replaces the whole text (everything selected).
  static bool typingAccepted(const std::string& current, char typed, bool replacesAll, bool zone);

  bool enabled = false;
  std::string name, type1, type2, zone;

  snmpaccess::CEtherTalkGroup& group() { return group_; }

 protected:
  void storeFields() override { storePort(); }
  int writeGroups(snmpaccess::CSnmpSession& session) override { return group_.writeChanged(session); }
  int loadGroups(const std::string& path) override { return group_.restoreBackupFile(path); }

 private:
  snmpaccess::CMibGroup* row(int index);
  void showPort();
  void storePort();

  snmpaccess::CEtherTalkGroup group_;
  int selected_ = 0;
};

}  // namespace config
