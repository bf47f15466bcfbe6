#pragma once
// CWzWizardSheet: the configuration wizard's window. One widget per page the flow has; Back and
// Next go through the flow (which refuses with the page's message or moves along its page
// sequence); the Verify page shows the flow's text; Finish closes with Accepted and the command
// saves. Every rule stays in wizard/.
#include <QDialog>
#include <QMap>
#include <functional>
#include <string>

#include "wizard/gui/wizard_page_hooks.h"
#include "wizard/wizard_flow.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace wizardgui {

class CWzWizardSheet : public QDialog {
  Q_OBJECT

 public:
  CWzWizardSheet(wizard::WizardFlow& flow, const QString& title, QWidget* parent = nullptr);

  // The page widget of a page id (null when the wizard has no such page).
  QWidget* pageWidget(int id) const { return pages_.value(id, nullptr); }
  QPushButton* backButton() const { return back_; }
  QPushButton* nextButton() const { return next_; }
  QPushButton* finishButton() const { return finish_; }
  // Messages of refused pages go here (a message box by default; tests replace it).
  void setInform(std::function<void(const std::string&)> inform) { hooks_.inform = std::move(inform); }
  // Yes/No questions (a message box by default).
  void setAsk(std::function<bool(const std::string&)> ask) { hooks_.ask = std::move(ask); }
  // Where the Welcome page's links go (the desktop's browser by default).
  void setOpenUrl(std::function<bool(const QUrl&)> open) { hooks_.openUrl = std::move(open); }

 public slots:
  void goNext();
  void goBack();

 private:
  void buildPages();
  void showCurrent();
  void refresh(int id);
  void inform(const std::string& text);

  wizard::WizardFlow& flow_;
  QStackedWidget* stack_ = nullptr;
  QLabel* heading_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* finish_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPlainTextEdit* summary_ = nullptr;
  QMap<int, QWidget*> pages_;
  QMap<int, std::function<void()>> loaders_;
  PageHooks hooks_;
  bool loading_ = false;
  config::SecurityValues shownSecurity_;
};

}  // namespace wizardgui
