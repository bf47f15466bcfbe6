#pragma once
// The main window: for now a plain shell with its title, its stored rectangle and a File menu.
// The view tree, the device list and the command set move in later.
#include <QMainWindow>

#include "app/settings.h"

namespace platform {
class Registry;
}

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(platform::Registry& reg, QWidget* parent = nullptr);

  void setStoredRect(const app::WindowRect& rect);
  // The rectangle to store: the normal (not maximised or minimised) geometry.
  app::WindowRect currentRect() const;
  // Writes the window state to the store; done once, when the window closes.
  void saveState();
  void setAppIconFollowsStatus(bool on) { appIconFollowsStatus_ = on; }
  bool appIconFollowsStatus() const { return appIconFollowsStatus_; }

 public slots:
  // Another instance asked this one to come to the front.
  void raiseFromAnotherInstance();
  // Command 32789 (Refresh).
  void onRefresh();

 signals:
  void raisedByAnotherInstance();
  void refreshRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  platform::Registry& reg_;
  bool saved_ = false;
  bool appIconFollowsStatus_ = false;
};
