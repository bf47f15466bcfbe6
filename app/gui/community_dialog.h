#pragma once
// The "Invalid Community Name" dialog: a prompt, one edit box of at most 31 characters, the
// Device Access note, and OK / Cancel / Ignore / Help. It only shows a CommunityQuestion and
// hands back the button and the text; the flow is snmpaccess::verifyCommunities.
#include <QDialog>

#include "access/community_check.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace gui {

class CCommunityDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CCommunityDialog(const snmpaccess::CommunityQuestion& question, QWidget* parent = nullptr);

  // 1 OK, 2 Cancel (or closed), 1001 Ignore, as the flow expects.
  int ask();
  QString text() const;

  QLineEdit* edit() const { return edit_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* ignoreButton() const { return ignore_; }
  QPushButton* helpButton() const { return help_; }

 signals:
  void helpRequested();

 private:
  QLabel* prompt_;
  QLineEdit* edit_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* ignore_;
  QPushButton* help_;
};

// The flow's callback that runs this dialog over `parent`.
snmpaccess::CommunityAsk communityDialogAsk(QWidget* parent);

}  // namespace gui
