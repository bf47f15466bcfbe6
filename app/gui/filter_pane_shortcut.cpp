#include "app/gui/filter_pane_shortcut.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

FilterPaneShortcut::FilterPaneShortcut(QWidget* pane, std::function<void()> open)
    : QObject(pane), open_(std::move(open)) {
  pane->installEventFilter(this);
  pane->setToolTip(QStringLiteral("Double-click to change the display filter"));
}

bool FilterPaneShortcut::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (open_) open_();
    return true;
  }
  return QObject::eventFilter(watched, event);
}
