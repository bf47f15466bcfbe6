#pragma once
// CWzBanyanDlg: "Configure Banyan Vines Properties". The StreetTalk user, a new password with its
// confirmation, and the print services as a list of rows, each in one of the print server's slots.
// It holds the configuration sheet's VINES page model for the reads, checks and writes; without
// the workstation's VINES client the page is read-only.
#include <string>
#include <vector>

#include "vines/vines_page.h"
#include "wizard/wz_page.h"
#include "wizard/wz_print_service_dlg.h"

namespace wizard {

inline constexpr const char* kTextVinesUnavailable = "Cannot initialize VINES support (vnserr=%u).  Read-Only.";
inline constexpr const char* kTextPasswordMismatch =
    "The VINES Password and Confirm Password do not match.  Would you like to try again?";
inline constexpr const char* kTextPasswordNotSet = "The Password will not be set.";

class CWzBanyanDlg : public CWzPage {
 public:
  explicit CWzBanyanDlg(std::string prefix, std::string library = vines::kVinesLibrary);
  int id() const override { return kVinesId; }
  const char* title() const override { return "Configure Banyan Vines Properties"; }

  int read(snmpaccess::CSnmpSession& session) override;

  bool editable() const { return model_.clientAvailable() && model_.controlsEnabled(); }
  // "ERROR:  " and why the page is read-only; empty when it is not.
  std::string notice() const;

  const std::string& userName() const { return model_.userName; }
  int slotCount() const { return model_.slotCount(); }
  int portCount() const { return model_.portCount(); }
  // The list rows: slot indexes whose service name is not empty, in slot order.
  std::vector<int> rows() const;
  const vines::VinesSlot& slot(int index) const { return model_.services[static_cast<std::size_t>(index)]; }
  bool canAdd() const { return editable() && static_cast<int>(rows().size()) < slotCount(); }
  bool canEdit() const { return editable() && !rows().empty(); }
  bool canRemove() const { return canEdit(); }
  // "&Confirm:" opens once the password was edited.
  bool confirmEnabled() const { return editable() && passwordEdited_; }

  // Edit with `selected` the selected row (-1 none): the row to edit, kAddRow when Edit means Add
  // (nothing selected in an empty list), kNoRow when there is nothing to do.
  static constexpr int kAddRow = -1;
  static constexpr int kNoRow = -2;
  int editTarget(int selected) const;
  // The Print Service dialog for a row, or for kAddRow a new service (no name, the first port).
  CPrintServiceDlg serviceDialog(int row) const;
  // OK in that dialog: the row takes its name and port, or kAddRow stores them in the first empty
  // slot. False when the page cannot take them (read-only, no such row, no free slot, refused name).
  bool applyService(int row, const CPrintServiceDlg& dialog);

  // Edits (false when the page is read-only or the row / slot does not exist).
  bool setUserName(std::string name);
  bool setPassword(std::string password);
  bool setConfirm(std::string confirm);
  bool addService(std::string name, int port);
  bool editService(int row, std::string name, int port);
  bool removeService(int row);
  // "No" to the mismatch question: the password is dropped; returns the text then shown.
  const char* dropPassword();
  // A refusal of leave() that is the mismatch question (Yes: stay; No: dropPassword and go on).
  static bool isMismatchQuestion(const PageCheck& check) { return check.message == kTextPasswordMismatch; }

  PageCheck leave(bool forward) override;
  std::string GetChangeSummary() const override;
  int SaveChanges(snmpaccess::CSnmpSession& session) override;

 private:
  vines::CVinesPage model_;
  std::string password_, confirm_;
  bool passwordEdited_ = false;
};

}  // namespace wizard
