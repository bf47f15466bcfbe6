#pragma once
// "Configure Multiple Devices" and "Wireless Security Settings (Multiple Devices)" as Qt dialogs
// over their models (multi/multi_config_dialog.h, multi/multi_wireless_security.h): the widgets
// are built from the control table, every edit is forwarded, and enabling, checks and values stay
// in the models. Each control's object name is its setting's name.
#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "multi/multi_config_dialog.h"
#include "multi/multi_wireless_security.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace multigui {

// The check state a three-state value shows: grey, ticked, cleared.
Qt::CheckState checkStateOf(multi::TriState s);
multi::TriState triStateOf(Qt::CheckState s);

class CMultiConfigDialog : public QDialog {
  Q_OBJECT

 public:
  CMultiConfigDialog(multi::CMultiConfigDlg& model, QWidget* parent = nullptr);

  multi::CMultiConfigDlg& model() { return model_; }
  // Where OK's refusals go (default: a warning box; stderr without a screen).
  void setInform(std::function<void(const std::string&)> inform) { inform_ = std::move(inform); }
  // "Configure Wireless Security" opens its dialog through this (tests drive it themselves).
  void setSecurityRunner(std::function<void(multi::MultiSecurityValues&)> run) { runSecurity_ = std::move(run); }

 public slots:
  void accept() override;
  void refresh();

 private:
  QWidget* buildGroup(const char* group);

  multi::CMultiConfigDlg& model_;
  std::function<void(const std::string&)> inform_;
  std::function<void(multi::MultiSecurityValues&)> runSecurity_;
  std::map<std::string, QWidget*> controls_;  // by name: the control itself
  std::map<std::string, QWidget*> edits_;     // by name: the text or number a box gates
};

class CMultiWirelessSecurityDialog : public QDialog {
  Q_OBJECT

 public:
  CMultiWirelessSecurityDialog(const multi::MultiSecurityValues& values, QWidget* parent = nullptr);

  multi::CMultiWirelessSecurityDlg& model() { return model_; }
  void setInform(std::function<void(const std::string&)> inform) { inform_ = std::move(inform); }

 public slots:
  void accept() override;
  void refresh();

 private:
  multi::CMultiWirelessSecurityDlg model_;
  std::function<void(const std::string&)> inform_;
  QLineEdit* keys_[multi::kSecurityKeys] = {};
  QComboBox* keySelection_ = nullptr;
};

}  // namespace multigui
