#pragma once
// "Select a View": the tree of folders and views with Done, New..., Delete, Rename and Help. The
// note and the buttons follow the model's rules for the selected node; the tree operations are the
// view manager's.
#include <QDialog>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class NodeTreeWidget;

namespace app {
class CViewManager;
class CViewNode;
}

class SelectViewDialog final : public QDialog {
  Q_OBJECT

 public:
  SelectViewDialog(app::CViewManager& views, QWidget* owner = nullptr);
  // Tests replace the questions and the name prompt; the main window is told about tree changes.
  std::function<bool(const std::string&)> askYesNo;
  std::function<std::optional<std::string>(const std::string& prompt, const std::string& name)> askName;
  std::function<void()> treeChanged;
  std::function<void(app::CViewNode* folder)> newView;
  // "&Help": the program's help, as Help > Contents opens it.
  std::function<void()> help;

  void selectNode(const app::CViewNode* node);
  void deleteSelected();
  void renameSelected(const std::string& newName);
  QString note() const;
  bool deleteEnabled() const;
  bool renameEnabled() const;

 private:
  void update();
  void refill(const app::CViewNode* select);

  app::CViewManager& views_;
  NodeTreeWidget* tree_ = nullptr;
  QLabel* note_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* rename_ = nullptr;
};
