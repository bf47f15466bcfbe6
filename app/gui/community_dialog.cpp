#include "app/gui/community_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/string_table.h"

namespace gui {
namespace {

QString stringOf(std::uint32_t id) {
  const char* s = platform::loadString(id);
  return QString::fromUtf8(s ? s : "");
}

}  // namespace

CCommunityDialog::CCommunityDialog(const snmpaccess::CommunityQuestion& question, QWidget* parent)
    : QDialog(parent) {
  using namespace snmpaccess;
  setWindowTitle(stringOf(kTextCommunityTitle));
  prompt_ = new QLabel(QString::fromStdString(question.prompt), this);
  prompt_->setWordWrap(true);
  edit_ = new QLineEdit(this);
  edit_->setMaxLength(static_cast<int>(kCommunityEditLimit));
  edit_->setText(QString::fromStdString(question.text));
  auto* note = new QLabel(stringOf(kTextCommunityNote), this);
  note->setWordWrap(true);
  ok_ = new QPushButton(stringOf(kTextOk), this);
  cancel_ = new QPushButton(stringOf(kTextCancel), this);
  ignore_ = new QPushButton(stringOf(kTextIgnore), this);
  help_ = new QPushButton(stringOf(kTextHelp), this);
  ok_->setDefault(true);
  ignore_->setVisible(question.ignoreVisible);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addWidget(edit_);
  layout->addWidget(note);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {ok_, cancel_, ignore_, help_}) buttons->addWidget(b);
  layout->addLayout(buttons);

  connect(ok_, &QPushButton::clicked, this, [this] { done(kCommunityReadWrite); });
  connect(cancel_, &QPushButton::clicked, this, [this] { done(kCommunityCancelled); });
  connect(ignore_, &QPushButton::clicked, this, [this] { done(kCommunityReadOnly); });
  connect(help_, &QPushButton::clicked, this, &CCommunityDialog::helpRequested);
  edit_->setFocus();
  edit_->selectAll();
}

int CCommunityDialog::ask() {
  const int r = exec();
  // Closing the window is Cancel.
  return r == snmpaccess::kCommunityReadWrite || r == snmpaccess::kCommunityReadOnly ? r
                                                                                      : snmpaccess::kCommunityCancelled;
}

QString CCommunityDialog::text() const { return edit_->text(); }

snmpaccess::CommunityAsk communityDialogAsk(QWidget* parent) {
  return [parent](snmpaccess::CommunityQuestion& q) {
    CCommunityDialog dialog(q, parent);
    const int r = dialog.ask();
    if (r == snmpaccess::kCommunityReadWrite) q.text = dialog.text().toStdString();
    return r;
  };
}

}  // namespace gui
