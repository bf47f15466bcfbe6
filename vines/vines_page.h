#pragma once
// CVinesPage: the "VINES" page of the configuration sheet. The StreetTalk user the print server
// logs in as, its password (write-only, sent only when a new one was entered) and up to six print
// services, each feeding one output port. With the workstation's VINES client the page checks
// names, the password and the user's right to manage the name; without it the page works
// unchecked.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "config/device_page.h"
#include "vines/vines_client.h"

namespace vines {

inline constexpr int kMaxSlots = 6;
inline constexpr std::size_t kStreetTalkNameLimit = 63;
inline constexpr std::size_t kVinesPasswordLimit = 15;
// Where the print server takes its VINES password (write-only, reads empty).
inline constexpr const char* kPasswordOid = ".6.3.3.4.5.0";

inline constexpr const char* kTextInvalidName = "Invalid StreetTalk Name.";
inline constexpr const char* kTextLoginFirst = "Login to VINES before configuring these settings (vnserr=%u).";
inline constexpr const char* kTextNotAuthorized =
    "You must be authorized to manage %s to change these settings (vnserr=%u).";
inline constexpr const char* kTextWrongPassword = "The password is incorrect for %s (vnserr=%u).  Modify?";
inline constexpr const char* kTextNoSuchName = "The StreetTalk name %s does not exist (vnserr=%u).  Modify name?";

struct VinesSlot {
  std::string name;
  std::int32_t port = 1;  // 1-based output port
};

class CVinesPage : public config::CDevicePage {
 public:
  explicit CVinesPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix),
                      std::string library = kVinesLibrary);

  const char* title() const override { return "VINES"; }
  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override;
  void AdjustControls() override;
  void ShowValues() override;
  int SaveToFile(const std::string& path) override { return group_.saveBackupFile(path); }
  config::PageCheck check() override;
  std::vector<snmpaccess::CMibGroup*> groups() override { return {&group_}; }

  // Print-service slots the page shows (the unit's count, at most six) and output ports.
  int slotCount() const { return slotCount_; }
  int portCount() const { return portCount_; }
  bool portChoice() const { return portCount_ > 1; }
  bool clientAvailable() const { return client_.available(); }
  bool browseShown() const { return client_.available(); }
  bool controlsEnabled() const { return enabled_; }
  // Shown once when the page opens (not logged in, not authorized); empty otherwise.
  const std::string& notice() const { return notice_; }

  // "VINES &Password": the Change Password rules with at most 15 characters.
  config::PageCheck setPassword(const std::string& password, const std::string& verify);
  bool passwordSet() const { return passwordSet_; }

  std::string userName;
  std::vector<VinesSlot> services;  // slotCount() entries

  snmpaccess::CVinesGroup& group() { return group_; }

 protected:
  void storeFields() override;
  int writeGroups(snmpaccess::CSnmpSession& session) override;
  int loadGroups(const std::string& path) override { return group_.restoreBackupFile(path); }

 private:
  snmpaccess::CMibGroup* nameTable();

  std::string prefix_;
  std::string library_;
  snmpaccess::CVinesGroup group_;
  CVinesClient client_;
  int slotCount_ = 0;
  int portCount_ = 1;
  bool enabled_ = true;
  std::string notice_;
  std::string shownUser_;
  std::vector<std::string> shownServices_;  // names as read: checked only once edited
  std::string password_;
  bool passwordSet_ = false;
};

}  // namespace vines
