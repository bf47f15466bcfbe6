#pragma once
// The Options sheet: four tabs over COptionsPropertySheet. Widgets only show the model and
// forward edits; OK asks the model to check and write, Cancel drops everything.
#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "app/options_sheet.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTreeWidget;

class OptionsDialog final : public QDialog {
  Q_OBJECT

 public:
  OptionsDialog(app::COptionsPropertySheet& sheet, QWidget* owner = nullptr);
  // What OK did (ok false until then).
  const app::OptionsApplied& applied() const { return applied_; }
  // Replaced in tests: the pattern asked by "Add an Access Entry", the delete question.
  std::function<std::optional<std::string>(const std::string& prompt)> askPattern;
  std::function<bool(const std::string& question)> askYesNo;
  QTabWidget* tabs() const { return tabs_; }
  void accept() override;

 private:
  QWidget* accessPage();
  QWidget* iconsPage();
  QWidget* miscPage();
  QWidget* timeoutsPage();
  void showAccess();
  void showCommunities();
  void showTimeouts();
  void showIcons();

  app::COptionsPropertySheet& sheet_;
  app::OptionsApplied applied_;
  QTabWidget* tabs_ = nullptr;
  QComboBox* protocol_ = nullptr;
  QListWidget* addresses_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* delete_ = nullptr;
  QLineEdit* get_ = nullptr;
  QLineEdit* set_ = nullptr;
  QTreeWidget* icons_ = nullptr;
  QCheckBox* appIcon_ = nullptr;
  QComboBox* doubleClick_ = nullptr;
  QComboBox* port_ = nullptr;
  QComboBox* refresh_ = nullptr;
  QCheckBox* quickSearch_ = nullptr;
  QSpinBox* timeouts_[6] = {};
  bool filling_ = false;
};
