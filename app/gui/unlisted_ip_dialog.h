#pragma once
// "Setup Unlisted IP Server" and "Enter IP address": thin Qt dialogs over their models
// (app/unlisted_ip_setup, app/ip_assignment); the rules and the sending live there.
#include <QDialog>
#include <functional>
#include <string>

#include "app/unlisted_ip_setup.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace gui {

class CUnlistedIpDialog : public QDialog {
  Q_OBJECT

 public:
  CUnlistedIpDialog(app::CUnlistedIpSetup& model, app::InitSendServices services, QWidget* parent = nullptr);

  void next();
  void ok();

 private:
  void pull();  // edits -> model
  void push();  // model -> edits and form

  app::CUnlistedIpSetup& model_;
  app::InitSendServices services_;
  QLineEdit* serial_ = nullptr;
  QLineEdit* address_ = nullptr;
  QLineEdit* destination_ = nullptr;
  QCheckBox* multicast_ = nullptr;
  QWidget* lower_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* ok_ = nullptr;
};

// "Enter IP address": OK hands the text to `onOk`, which decides whether the dialog closes.
class CEnterIpDialog : public QDialog {
  Q_OBJECT

 public:
  CEnterIpDialog(std::function<bool(const std::string&)> onOk, QWidget* parent = nullptr);
  std::string address() const;
  void ok();

 private:
  std::function<bool(const std::string&)> onOk_;
  QLineEdit* edit_ = nullptr;
};

}  // namespace gui
