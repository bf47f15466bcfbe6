#pragma once
// The main window's display-filter shortcut: a double-click on the status bar's filter pane (the
// one that shows "FILT") opens the open view's display filter, the view editor with "Filters"
// first.
#include <QObject>
#include <functional>

class QWidget;

class FilterPaneShortcut final : public QObject {
  Q_OBJECT

 public:
  FilterPaneShortcut(QWidget* pane, std::function<void()> open);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> open_;
};
