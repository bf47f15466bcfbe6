#pragma once
// "Create a New Folder": name, icon and parent; OK creates the folder through the view manager.
#include <QDialog>

class QComboBox;
class QLineEdit;
class NodeTreeWidget;

namespace app {
class CViewManager;
class CViewNode;
}

class CreateFolderDialog final : public QDialog {
  Q_OBJECT

 public:
  CreateFolderDialog(app::CViewManager& views, app::CViewNode* parent, QWidget* owner = nullptr);
  // The folder made by OK (null until then).
  app::CViewNode* createdFolder() const { return created_; }
  void accept() override;

 private:
  app::CViewManager& views_;
  QLineEdit* name_ = nullptr;
  QComboBox* icon_ = nullptr;
  NodeTreeWidget* tree_ = nullptr;
  app::CViewNode* created_ = nullptr;
};
