#pragma once
// "Status - ADDRESS": one read-only tab per page of the status sheet in its order (Printer,
// Server, Network, Statistics, Tech Support, System, PJL, Wireless), with "&Refresh", "&Save"
// and "Close". The tabs only show what the page models hold; the report comes from the sheet.
#include <QDialog>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "status/diagnostics_sheet.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace statusgui {

class CDiagnosticsSheetDialog : public QDialog {
  Q_OBJECT

 public:
  CDiagnosticsSheetDialog(status::CDiagnosticsPropSheet& sheet, const QString& title, QWidget* parent = nullptr);

  // Replace the file dialogs, the questions and the clock (tests).
  void setFileChooser(std::function<QString(const QString& title, const QString& defaultName)> choose) {
    choose_ = std::move(choose);
  }
  void setConfirm(std::function<bool(const QString&)> confirm) { confirm_ = std::move(confirm); }
  void setInform(std::function<void(const QString&)> inform) { inform_ = std::move(inform); }
  void setClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
  // Around Refresh (the progress window in the program).
  void setBusy(std::function<void(bool)> busy) { busy_ = std::move(busy); }

  QTabWidget* tabs() const { return tabs_; }
  QPushButton* refreshButton() const { return refresh_; }
  QPushButton* saveButton() const { return save_; }
  // The value field of a page's row by its label ("Serial Number:"), and the PJL page's parts.
  QWidget* field(const QString& page, const QString& label) const;
  QComboBox* protocolList() const { return protocols_; }
  QPlainTextEdit* networkText() const { return networkText_; }
  QPushButton* pjlSend() const { return pjlSend_; }
  QPlainTextEdit* pjlResponse() const { return pjlResponse_; }

 public slots:
  void refresh();
  void saveReport();

 private:
  void build();
  QWidget* rowsPage(status::CStatusPage& page);
  QWidget* printerPage();
  QWidget* networkPage();
  QWidget* pjlPage();
  void showValues();
  void showPjl();
  bool chooseFile(const QString& title, const QString& defaultName, QString& path);

  status::CDiagnosticsPropSheet& sheet_;
  QTabWidget* tabs_;
  QPushButton* refresh_;
  QPushButton* save_;
  QComboBox* ports_ = nullptr;
  QComboBox* protocols_ = nullptr;
  QPlainTextEdit* networkText_ = nullptr;
  QComboBox* pjlPorts_ = nullptr;
  QLabel* pjlPortLabel_ = nullptr;
  QComboBox* pjlRequests_ = nullptr;
  QPushButton* pjlSend_ = nullptr;
  QPushButton* pjlSave_ = nullptr;
  QLabel* pjlStatus_ = nullptr;
  QLabel* pjlMessage_ = nullptr;
  QPlainTextEdit* pjlResponse_ = nullptr;
  struct Row {
    status::CStatusPage* page;
    std::string label;
    QLabel* name;
    QWidget* value;
  };
  std::vector<Row> rows_;
  bool pjlCreated_ = false;
  std::function<QString(const QString&, const QString&)> choose_;
  std::function<bool(const QString&)> confirm_;
  std::function<void(const QString&)> inform_;
  std::function<std::time_t()> clock_;
  std::function<void(bool)> busy_;
};

}  // namespace statusgui
