#pragma once
// "Server Configuration - ADDRESS": one tab per page the sheet added, OK / Cancel / Help (no
// Apply). A page's widgets are built when its tab is first shown (the page is then opened) and
// write every edit straight into the page model; OK and leaving a tab run the page's check.
#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "config/config_sheet.h"
#include "config/snmp_traps_page.h"

class QTabWidget;
class QPushButton;

namespace configgui {

class CConfigSheetDialog : public QDialog {
  Q_OBJECT

 public:
  CConfigSheetDialog(config::CConfigPropSheet& sheet, const QString& title, QWidget* parent = nullptr);

  // Replaces the confirmation and message boxes (tests).
  void setConfirm(std::function<bool(const std::string&)> confirm) { confirm_ = std::move(confirm); }
  void setInform(std::function<void(const std::string&)> inform) { inform_ = std::move(inform); }

  QTabWidget* tabs() const { return tabs_; }
  QPushButton* okButton() const { return ok_; }
  // The field widget of a page by its model name ("gateway", "sysName"), once built.
  QWidget* field(const config::CDevicePage* page, const std::string& name) const;
  config::CDevicePage* currentPage() const;

 public slots:
  void accept() override;

 private:
  void buildPage(int index);
  void onTabChanged(int index);
  void refuse(config::CDevicePage& page, const config::PageCheck& check);

  config::CConfigPropSheet& sheet_;
  QTabWidget* tabs_;
  QPushButton* ok_;
  int currentIndex_ = -1;
  bool switching_ = false;
  std::map<const config::CDevicePage*, std::map<std::string, QWidget*>> fields_;
  std::function<bool(const std::string&)> confirm_;
  std::function<void(const std::string&)> inform_;
};

}  // namespace configgui
