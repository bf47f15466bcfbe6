#pragma once
// CStreetTalkNameEdit: a name field that refuses, with a beep, the characters a StreetTalk name
// cannot hold (the rule is vines::streetTalkCharacterAccepted), typed or pasted alike: a refused
// edit leaves the text as it was, so textEdited only ever carries accepted text.
#include <QLineEdit>

namespace wizardgui {

class CStreetTalkNameEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CStreetTalkNameEdit(QWidget* parent = nullptr, int maxLength = 0);
};

}  // namespace wizardgui
