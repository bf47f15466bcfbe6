#pragma once
// The "&Add..." dialog of a NetWare view's search list: serial numbers or a network, built and
// checked by app/netware_device_entry.
#include <QDialog>
#include <string>
#include <vector>

class QButtonGroup;
class QLabel;
class QLineEdit;

class NetWareEntryDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit NetWareEntryDialog(QWidget* owner = nullptr);
  // The entries OK accepted.
  const std::vector<std::string>& entries() const { return entries_; }
  void chooseOption(int index);
  void accept() override;
  // The message of the last refused OK (tests).
  const std::string& refusal() const { return refusal_; }

 private:
  QButtonGroup* options_ = nullptr;
  QLabel* label_ = nullptr;
  QLineEdit* text_ = nullptr;
  std::vector<std::string> entries_;
  std::string refusal_;
};
