#pragma once
// "Specify a Device": one search-list entry of a TCP/IP view, built and checked by the model.
#include <QDialog>
#include <string>
#include <vector>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

class DeviceEntryDialog final : public QDialog {
  Q_OBJECT

 public:
  DeviceEntryDialog(const std::string& programDirectory, QWidget* owner = nullptr);
  // The entry OK accepted.
  const std::string& entry() const { return entry_; }
  void chooseOption(int index);
  void accept() override;

 private:
  std::string programDirectory_;
  QButtonGroup* options_ = nullptr;
  QLabel* label_ = nullptr;
  QLineEdit* text_ = nullptr;
  QPushButton* browse_ = nullptr;
  std::string entry_;
};
