#include "wizard/gui/streettalk_name_edit.h"

#include <QApplication>
#include <QValidator>

#include "vines/streettalk_name.h"

namespace wizardgui {

namespace {

class StreetTalkValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (const QChar c : input) {
      // Characters outside Latin-1 are none of the refused ones.
      if (c.unicode() < 0x100 && !vines::streetTalkCharacterAccepted(static_cast<char>(c.unicode()))) {
        QApplication::beep();
        return Invalid;
      }
    }
    return Acceptable;
  }
};

}  // namespace

CStreetTalkNameEdit::CStreetTalkNameEdit(QWidget* parent, int maxLength) : QLineEdit(parent) {
  if (maxLength > 0) setMaxLength(maxLength);
  setValidator(new StreetTalkValidator(this));
}

}  // namespace wizardgui
