#include "wizard/gui/welcome_page_widget.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QToolButton>
#include <QVBoxLayout>
#include <vector>

namespace wizardgui {

namespace {

QString anchor(const QWidget* w, const char* text, const char* url, bool visited) {
  const QColor colour = w->palette().color(visited ? QPalette::LinkVisited : QPalette::Link);
  return QStringLiteral("<a href=\"%1\" style=\"color:%2\">%3</a>")
      .arg(QString::fromUtf8(url).toHtmlEscaped(), colour.name(), QString::fromUtf8(text).toHtmlEscaped());
}

}  // namespace

std::function<void()> buildWelcomePage(QWidget* page, wizard::CWzWelcomeDlg& model, const PageHooks& hooks) {
  int pictureIndex = 0;
  for (int i = 0; i < wizard::CWzWelcomeDlg::linkCount(); ++i)
    if (!wizard::kWelcomeLinks[static_cast<std::size_t>(i)].text[0]) pictureIndex = i;
  auto* v = qobject_cast<QVBoxLayout*>(page->layout());
  if (!v) v = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  auto* picture = new QToolButton(page);
  picture->setObjectName(
      QStringLiteral("link%1").arg(wizard::kWelcomeLinks[static_cast<std::size_t>(pictureIndex)].control));
  picture->setAutoRaise(true);
  picture->setIconSize(QSize(48, 48));
  picture->setCursor(Qt::PointingHandCursor);
  picture->setToolTip(QString::fromUtf8(wizard::CWzWelcomeDlg::target(pictureIndex)));
  auto* greeting = new QLabel(QString::fromUtf8(wizard::kWelcomeText), page);
  greeting->setWordWrap(true);
  top->addWidget(picture, 0, Qt::AlignTop);
  top->addWidget(greeting, 1);
  v->addLayout(top);

  std::vector<QLabel*> links;
  for (int i = 0; i < wizard::CWzWelcomeDlg::linkCount(); ++i) {
    const wizard::WelcomeLink& l = wizard::kWelcomeLinks[static_cast<std::size_t>(i)];
    if (!l.text[0]) continue;  // the picture
    auto* line = new QLabel(QString::fromUtf8(l.line), page);
    line->setWordWrap(true);
    auto* link = new QLabel(page);
    link->setObjectName(QStringLiteral("link%1").arg(l.control));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setOpenExternalLinks(false);
    link->setProperty("linkIndex", i);
    v->addSpacing(8);
    v->addWidget(line);
    v->addWidget(link);
    links.push_back(link);
  }
  v->addStretch(1);

  auto show = [page, &model, picture, links] {
    picture->setIcon(page->windowIcon());
    for (QLabel* link : links) {
      const int i = link->property("linkIndex").toInt();
      const wizard::WelcomeLink& l = wizard::kWelcomeLinks[static_cast<std::size_t>(i)];
      link->setText(anchor(link, l.text, wizard::CWzWelcomeDlg::target(i), model.visited(i)));
    }
  };
  auto open = [&model, &hooks, show](int index) {
    const QUrl url(QString::fromUtf8(wizard::CWzWelcomeDlg::target(index)));
    if (!hooks.openUrl || !hooks.openUrl(url)) {
      QApplication::beep();
      return;
    }
    model.opened(index);
    show();
  };
  for (QLabel* link : links) {
    const int i = link->property("linkIndex").toInt();
    QObject::connect(link, &QLabel::linkActivated, page, [open, i] { open(i); });
  }
  QObject::connect(picture, &QToolButton::clicked, page, [open, pictureIndex] { open(pictureIndex); });
  return show;
}

}  // namespace wizardgui
