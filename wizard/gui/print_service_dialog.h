#pragma once
// The "Print Service" dialog of the wizard's VINES page: shows a CPrintServiceDlg and forwards the
// name, the port choice and OK to it. Browsing StreetTalk for a service is not offered: the VINES
// client here has no directory listing.
#include <QDialog>
#include <functional>
#include <string>

#include "wizard/wz_print_service_dlg.h"

class QComboBox;
class QPushButton;

namespace wizardgui {

class CStreetTalkNameEdit;

class PrintServiceDialog : public QDialog {
  Q_OBJECT

 public:
  // `inform` shows a refusal of OK (a message box by default).
  PrintServiceDialog(wizard::CPrintServiceDlg& model, QWidget* parent = nullptr,
                     std::function<void(const std::string&)> inform = {});

  CStreetTalkNameEdit* nameEdit() const { return name_; }
  QComboBox* portCombo() const { return port_; }
  QPushButton* okButton() const { return ok_; }

  void accept() override;

 private:
  wizard::CPrintServiceDlg& model_;
  std::function<void(const std::string&)> inform_;
  CStreetTalkNameEdit* name_ = nullptr;
  QComboBox* port_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace wizardgui
