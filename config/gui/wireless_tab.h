#pragma once
// The "Wireless" tab and the "Wireless Security" dialog over their models: they show the lists
// the page built, forward each choice, and leave every rule to config/wireless_page.h and
// config/wireless_security.h. Keys and passwords are typed and shown only as dots.
#include <QDialog>
#include <functional>
#include <string>

#include "config/certificate_send.h"
#include "config/wireless_page.h"

class QComboBox;
class QFormLayout;
class QGroupBox;
class QLineEdit;

namespace configgui {

class CWirelessSecurityDialog : public QDialog {
  Q_OBJECT

 public:
  CWirelessSecurityDialog(config::CWirelessPage& page, std::function<void(const std::string&)> inform,
                          QWidget* parent = nullptr);

  config::CWirelessSecurityDlg& model() { return model_; }
  // Replaces the certificate uploader and the password prompt (tests).
  void setUploader(config::CertificateUploader upload) { upload_ = std::move(upload); }
  void setPasswordPrompt(std::function<std::optional<std::string>()> ask) { ask_ = std::move(ask); }

 public slots:
  void accept() override;
  void sendCertificate();

 private:
  void refresh();

  config::CWirelessPage& page_;
  config::CWirelessSecurityDlg model_;
  std::function<void(const std::string&)> inform_;
  config::CertificateUploader upload_;
  std::function<std::optional<std::string>()> ask_;
  QComboBox* encryption_ = nullptr;
  QGroupBox* keyBox_ = nullptr;
  QLineEdit* keys_[config::kWepKeys] = {};
  QComboBox* keySelection_ = nullptr;
  QWidget* wpaBox_ = nullptr;
  QWidget* eapBox_ = nullptr;
  QWidget* certificateBox_ = nullptr;
  QWidget* authType_ = nullptr;
  QWidget* userId_ = nullptr;
  QWidget* password_ = nullptr;
  QWidget* autoAssociate_ = nullptr;
};

// The "Device Password" prompt: nullopt for Cancel.
std::optional<std::string> askDevicePassword(QWidget* parent);

void buildWirelessTab(QWidget* holder, QFormLayout* form, config::CWirelessPage& page,
                      std::function<void(const std::string&)> inform);

}  // namespace configgui
