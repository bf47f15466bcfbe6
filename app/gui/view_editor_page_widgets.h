#pragma once
// The Qt faces of the view editor's pages: each shows its page model and forwards the user's
// edits to it; refill() shows the model again after the sheet loaded another view.
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class NodeTreeWidget;

namespace app {
class CColumnsPage;
class CFiltersPage;
class CGeneralPage;
class CNewViewPage;
class CViewManager;
}

class NewViewPageWidget final : public QWidget {
  Q_OBJECT
 public:
  NewViewPageWidget(app::CNewViewPage& page, QWidget* parent);
  void refill();
 signals:
  void defaultsToggled(bool on);
 private:
  app::CNewViewPage& page_;
  QLineEdit* name_;
  QComboBox* protocol_;
  QCheckBox* defaults_;
};

class FiltersPageWidget final : public QWidget {
  Q_OBJECT
 public:
  // `specifyDevice` asks for the entries to add with the dialog of the view's protocol (none:
  // cancelled).
  FiltersPageWidget(app::CFiltersPage& page, std::function<std::vector<std::string>()> specifyDevice, QWidget* parent);
  void refill();
 private:
  void showValues();
  app::CFiltersPage& page_;
  std::function<std::vector<std::string>()> specifyDevice_;
  QCheckBox* local_;
  QCheckBox* list_;
  QListWidget* entries_;
  QPushButton* add_;
  QPushButton* delete_;
  QComboBox* port_;
  QLabel* portLabel_;
  QComboBox* filter_;
  QStackedWidget* valueStack_;
  QLineEdit* value_;
  QListWidget* values_;
  QLabel* note_;
  bool filling_ = false;
};

class ColumnsPageWidget final : public QWidget {
  Q_OBJECT
 public:
  ColumnsPageWidget(app::CColumnsPage& page, QWidget* parent);
  void refill();
 private:
  app::CColumnsPage& page_;
  QListWidget* available_;
  QListWidget* printer_;
  QListWidget* displayed_;
  QComboBox* sort_;
  QCheckBox* auto_;
  bool filling_ = false;
};

class GeneralPageWidget final : public QWidget {
  Q_OBJECT
 public:
  GeneralPageWidget(app::CGeneralPage& page, app::CViewManager& views, QWidget* parent);
  void refill();
 signals:
  void treeChanged();
 private:
  app::CGeneralPage& page_;
  app::CViewManager& views_;
  QLabel* protocol_;
  QComboBox* icon_;
  NodeTreeWidget* location_;
  QCheckBox* refresh_;
  QSpinBox* minutes_;
  bool filling_ = false;
};
