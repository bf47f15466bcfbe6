#include "app/gui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>

#include "platform/registry.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"

namespace {

QString stringOf(std::uint32_t id) { return QString::fromUtf8(platform::loadString(id)); }

}  // namespace

CMainFrame::CMainFrame(platform::Registry& reg, QWidget* parent) : QMainWindow(parent), reg_(reg) {
  setWindowTitle(stringOf(platform::ids::kMainWindowTitle));
  setObjectName("CMainFrame");
  QMenu* file = menuBar()->addMenu(stringOf(platform::ids::kMenuFile));
  QAction* exit = file->addAction(stringOf(platform::ids::kCommandExit));
  exit->setObjectName("actionExit");
  exit->setShortcut(QKeySequence::Quit);
  connect(exit, &QAction::triggered, this, &QWidget::close);
}

void CMainFrame::setStoredRect(const app::WindowRect& r) { setGeometry(r.left, r.top, r.width(), r.height()); }

app::WindowRect CMainFrame::currentRect() const {
  // Store what the next start gives back to setGeometry, so the window neither drifts nor grows.
  const QRect g = (isMaximized() || isMinimized() || isFullScreen()) ? normalGeometry() : geometry();
  return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void CMainFrame::saveState() {
  if (saved_) return;
  saved_ = true;
  app::writeWindowRect(reg_, currentRect());
}

void CMainFrame::raiseFromAnotherInstance() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  // Its last active pop-up comes up with it.
  if (QWidget* modal = QApplication::activeModalWidget()) {
    modal->raise();
    modal->activateWindow();
  }
  emit raisedByAnotherInstance();
}

void CMainFrame::onRefresh() { emit refreshRequested(); }

void CMainFrame::closeEvent(QCloseEvent* event) {
  saveState();
  event->accept();
}
