#pragma once
// The view editor: the wizard (welcome, "New View", Filters, Columns, General with Back, Next,
// Finish) or the edit sheet (a "View Name:" list above the tabs, OK, Cancel, Apply), over
// CCustomizeViewPropSheet. Messages go through ReportError as the model's codes say.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "app/view_editor.h"

class QComboBox;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class NewViewPageWidget;
class FiltersPageWidget;
class ColumnsPageWidget;
class GeneralPageWidget;

class CViewEditorDialog final : public QDialog {
  Q_OBJECT

 public:
  CViewEditorDialog(app::CCustomizeViewPropSheet& sheet, app::CViewManager& views, const std::string& programDirectory,
                    QWidget* owner = nullptr);
  ~CViewEditorDialog() override;

  // Tests and the main window replace these: the Yes/No question of the view switch, and the
  // notice that the tree changed (a folder made on the General page).
  std::function<bool(const std::string&)> askYesNo;
  std::function<void()> treeChanged;

  // The wizard's buttons and the sheet's, for tests.
  void back();
  void next();
  void finish();
  bool apply();
  void accept() override;
  app::CCustomizeViewPropSheet::Page currentPage() const;
  void showPage(app::CCustomizeViewPropSheet::Page page);

 private:
  QWidget* pageWidget(app::CCustomizeViewPropSheet::Page page);
  void updateButtons();
  void refillPages();
  bool report(int code);

  app::CCustomizeViewPropSheet& sheet_;
  app::CViewManager& views_;
  std::string programDirectory_;
  std::vector<app::CCustomizeViewPropSheet::Page> pages_;
  QStackedWidget* stack_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QComboBox* viewName_ = nullptr;
  QWidget* welcome_ = nullptr;
  NewViewPageWidget* newView_ = nullptr;
  FiltersPageWidget* filters_ = nullptr;
  ColumnsPageWidget* columns_ = nullptr;
  GeneralPageWidget* general_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* finish_ = nullptr;
};
