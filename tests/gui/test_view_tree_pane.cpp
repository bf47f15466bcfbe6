// The tree pane under QtTest, offscreen, against a real view manager in a scratch store: moving
// by drop with Yes and No, drops that only beep, in-place renaming through the editor, delete,
// and the pop-up's enabled and default items.
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/gui/view_tree_pane.h"
#include "app/view_manager.h"
#include "app/view_node.h"
#include "platform/registry.h"

namespace cmd = app::cmd;

namespace {

// What the pane asked, said and beeped; every question gets `answer`.
struct Dialogs {
  bool answer = false;
  std::vector<std::string> asked;
  std::vector<std::string> shown;
  int beeps = 0;

  void attach(ViewTreePane& pane) {
    pane.setDialogs(
        [this](const std::string& q) {
          asked.push_back(q);
          return answer;
        },
        [this](const std::string& m) { shown.push_back(m); });
    pane.setBeep([this] { ++beeps; });
  }
};

// Every command action of a menu and its sub-menus by command id.
QAction* findAction(QMenu* menu, std::uint32_t id) {
  for (QAction* a : menu->actions()) {
    if (a->menu()) {
      if (QAction* inner = findAction(a->menu(), id)) return inner;
    } else if (!a->isSeparator() && a->data().value<quint32>() == id) {
      return a;
    }
  }
  return nullptr;
}

}  // namespace

class TestViewTreePane : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    qRegisterMetaType<const app::CViewNode*>();
  }

  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    reg_ = std::make_unique<platform::Registry>(dir_->filePath("Trellan.reg").toStdString());
    // Views: Lab { Printers, Sub { Deep } }, Empty, Office (open), Serial (never opened).
    auto node = [this](const std::string& key, int type) {
      reg_->setDword(key, "Type", static_cast<std::uint32_t>(type));
      reg_->setDword(key, "Icons", type == app::kNodeFolder ? 4u : 16u);
    };
    node("Views\\Lab", app::kNodeFolder);
    node("Views\\Lab\\Printers", app::kNodeTcpIpView);
    reg_->setString("Views\\Lab\\Printers", "dev0", "10.1.2.3");
    node("Views\\Lab\\Sub", app::kNodeFolder);
    node("Views\\Lab\\Sub\\Deep", app::kNodeTcpIpView);
    node("Views\\Empty", app::kNodeFolder);
    node("Views\\Office", app::kNodeTcpIpView);
    node("Views\\Serial", app::kNodeSerialView);
    views_ = std::make_unique<app::CViewManager>(*reg_, factory_);
    views_->loadTree();
    QVERIFY(views_->openView(views_->find("Office"), false).ok);

    pane_ = std::make_unique<ViewTreePane>();
    pane_->resize(300, 400);
    pane_->setViewManager(views_.get());
    pane_->rebuild(views_->root(), views_->openNode());
    dialogs_ = Dialogs{};
    dialogs_.attach(*pane_);
  }

  void cleanup() {
    pane_.reset();
    views_.reset();
    reg_.reset();
    dir_.reset();
  }

  // A name the pane cuts shows whole in a tool tip; a name that fits has none.
  void cutNamesGetATooltip() {
    QVERIFY(views_->renameNode(views_->find("Office"), "Office printers on the second floor, east wing") == app::kViewOk);
    pane_->rebuild(views_->root(), views_->openNode());
    pane_->expandAll();
    pane_->show();
    QVERIFY(QTest::qWaitForWindowExposed(pane_.get()));
    const QModelIndex longName = pane_->indexOf(views_->find("Office printers on the second floor, east wing"));
    const QModelIndex shortName = pane_->indexOf(views_->find("Serial"));
    QVERIFY(longName.isValid() && shortName.isValid());

    pane_->resize(120, 400);
    QCoreApplication::processEvents();
    const QPoint atLong = pane_->visualRect(longName).center();
    const QPoint atShort = pane_->visualRect(shortName).center();
    QCOMPARE(pane_->toolTipAt(atLong), QString("Office printers on the second floor, east wing"));
    QCOMPARE(pane_->toolTipAt(atShort), QString());

    pane_->resize(900, 400);
    QCoreApplication::processEvents();
    QCOMPARE(pane_->toolTipAt(pane_->visualRect(longName).center()), QString());
  }

  void moveByDropAsksAndMovesOnYesOnly() {
    QSignalSpy changed(pane_.get(), &ViewTreePane::viewSetChanged);
    const app::CViewNode* office = n("Office");
    const app::CViewNode* lab = n("Lab");

    dialogs_.answer = false;
    QVERIFY(!pane_->dropNode(office, lab));
    QCOMPARE(dialogs_.asked, std::vector<std::string>{"Move the view \"Office\" to the group \"Lab\"?"});
    QVERIFY(reg_->keyExists("Views\\Office"));
    QVERIFY(!reg_->keyExists("Views\\Lab\\Office"));
    QCOMPARE(office->parent(), views_->root());
    QCOMPARE(changed.count(), 0);

    dialogs_.answer = true;
    QVERIFY(pane_->dropNode(office, lab));
    QVERIFY(!reg_->keyExists("Views\\Office"));
    QCOMPARE(reg_->getDword("Views\\Lab\\Office", "Type", 0), 6u);
    QCOMPARE(office->parent(), lab);
    // The pane shows the node in its new place at once, selected.
    QCOMPARE(pane_->indexOf(office).parent(), pane_->indexOf(lab));
    QCOMPARE(pane_->selectedNode(), office);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<const app::CViewNode*>(), office);

    // A whole group with its members, up to the root.
    QVERIFY(pane_->dropNode(n("Sub"), views_->root()));
    QCOMPARE(reg_->getDword("Views\\Sub\\Deep", "Type", 0), 6u);
    QVERIFY(!reg_->keyExists("Views\\Lab\\Sub"));
    QCOMPARE(pane_->itemCount(), 8);
    QVERIFY(dialogs_.shown.empty());
    QCOMPARE(dialogs_.beeps, 0);
  }

  void dropsOntoBadTargetsOnlyBeep() {
    app::CViewNode stranger("Stranger", app::kNodeFolder, 0);
    struct Case {
      const char* what;
      const app::CViewNode* node;
      const app::CViewNode* target;
    };
    const Case cases[] = {
        {"onto itself", n("Lab"), n("Lab")},
        {"onto its own descendant", n("Lab"), n("Sub")},
        {"onto its current parent", n("Deep"), n("Sub")},
        {"onto a view", n("Empty"), n("Office")},
        {"the root", views_->root(), n("Empty")},
        {"a node of no manager", &stranger, n("Empty")},
        {"onto a node of no manager", n("Office"), &stranger},
    };
    QSignalSpy changed(pane_.get(), &ViewTreePane::viewSetChanged);
    const int items = pane_->itemCount();
    int beeps = 0;
    for (const auto& c : cases) {
      QVERIFY2(!pane_->dropNode(c.node, c.target), c.what);
      QVERIFY2(dialogs_.beeps == ++beeps, c.what);
      QVERIFY2(dialogs_.asked.empty(), c.what);
      QVERIFY2(pane_->itemCount() == items, c.what);
    }
    QCOMPARE(changed.count(), 0);
    QVERIFY(reg_->keyExists("Views\\Lab\\Sub\\Deep"));
    QVERIFY(reg_->keyExists("Views\\Empty"));
    QCOMPARE(n("Sub")->parent(), n("Lab"));
  }

  void renameInPlaceSucceeds() {
    QSignalSpy changed(pane_.get(), &ViewTreePane::viewSetChanged);
    const app::CViewNode* lab = n("Lab");
    QVERIFY(typeIntoEditor(lab, "Lab East"));
    QTRY_COMPARE(pane_->itemText(lab), QString("Lab East"));
    QCOMPARE(lab->name(), std::string("Lab East"));
    QVERIFY(!reg_->keyExists("Views\\Lab"));
    QCOMPARE(reg_->getString("Views\\Lab East\\Printers", "dev0", ""), std::string("10.1.2.3"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<const app::CViewNode*>(), lab);
    QVERIFY(dialogs_.shown.empty());
  }

  void renameFailureShowsTheMessageAndRestoresTheText() {
    struct Case {
      const char* what;
      const char* typed;
      const char* message;  // nullptr: nothing said
    };
    const Case cases[] = {
        {"another node's name", "office", "A view or group with that name already exists."},
        {"a backslash", "Lab\\2", "A view or group name may not contain \"\\\"."},
        {"no name", "", "The view must have a name."},
        {"a change of case only", "LAB", nullptr},
    };
    QSignalSpy changed(pane_.get(), &ViewTreePane::viewSetChanged);
    const app::CViewNode* lab = n("Lab");
    for (const auto& c : cases) {
      dialogs_.shown.clear();
      QVERIFY2(typeIntoEditor(lab, c.typed), c.what);
      if (c.message) {
        QTRY_VERIFY2(!dialogs_.shown.empty(), c.what);
        QTest::qWait(20);  // said once, not again when the editor goes
        QVERIFY2(dialogs_.shown == std::vector<std::string>{c.message}, c.what);
      } else {
        QTest::qWait(20);
        QVERIFY2(dialogs_.shown.empty(), c.what);
      }
      QVERIFY2(pane_->itemText(lab) == "Lab", c.what);
      QVERIFY2(lab->name() == "Lab", c.what);
    }
    QCOMPARE(changed.count(), 0);
    QVERIFY(reg_->keyExists("Views\\Lab\\Sub\\Deep"));
  }

  void renameCommandOpensTheEditorExceptOnTheRoot() {
    pane_->runCommand(cmd::kTreeRename, views_->root());
    QVERIFY(!pane_->editing());
    pane_->runCommand(cmd::kTreeRename, n("Serial"));
    QVERIFY(pane_->editing());
    auto* editor = qobject_cast<QLineEdit*>(pane_->indexWidget(pane_->indexOf(n("Serial"))));
    QVERIFY(editor);
    QCOMPARE(editor->text(), QString("Serial"));

    // Read-only: no editor by any trigger.
    ViewTreePane readOnly;
    readOnly.rebuild(views_->root(), n("Serial"));
    readOnly.show();
    QVERIFY(QTest::qWaitForWindowExposed(&readOnly));
    readOnly.setFocus();
    QTest::keyClick(&readOnly, Qt::Key_F2);
    QVERIFY(!readOnly.editing());
    QVERIFY(!readOnly.findChild<QLineEdit*>());
  }

  void deleteRefusesTheOpenViewAndDeletesAnEmptyFolder() {
    QSignalSpy changed(pane_.get(), &ViewTreePane::viewSetChanged);
    dialogs_.answer = true;
    pane_->runCommand(cmd::kTreeDelete, n("Office"));
    QCOMPARE(dialogs_.shown, std::vector<std::string>{"The selected view is currently open and cannot be deleted. "
                                                      "First open a different view, then delete the view."});
    QVERIFY(dialogs_.asked.empty());
    QVERIFY(reg_->keyExists("Views\\Office"));

    dialogs_.shown.clear();
    pane_->runCommand(cmd::kTreeDelete, n("Lab"));
    QCOMPARE(dialogs_.shown, std::vector<std::string>{"Delete sub-views before deleting group."});
    QCOMPARE(changed.count(), 0);

    dialogs_.shown.clear();
    dialogs_.answer = false;
    pane_->runCommand(cmd::kTreeDelete, n("Empty"));
    QCOMPARE(dialogs_.asked, std::vector<std::string>{"Delete the group \"Empty\"?"});
    QVERIFY(reg_->keyExists("Views\\Empty"));

    const int items = pane_->itemCount();
    dialogs_.answer = true;
    pane_->runCommand(cmd::kTreeDelete, n("Empty"));
    QVERIFY(!reg_->keyExists("Views\\Empty"));
    QVERIFY(!views_->find("Empty"));
    QCOMPARE(pane_->itemCount(), items - 1);  // no item keeps pointing at the deleted node
    QCOMPARE(changed.count(), 1);
    QVERIFY(changed.at(0).at(0).value<const app::CViewNode*>() == nullptr);
    QVERIFY(dialogs_.shown.empty());
  }

  void popupEnablesAndBoldsPerNode() {
    struct Case {
      const char* what;
      const app::CViewNode* node;
      bool refreshAlways;
      std::vector<std::uint32_t> enabled;  // all other items disabled
      std::uint32_t defaultId;            // 0: none
    };
    const std::vector<std::uint32_t> all = {cmd::kTreeOpen,       cmd::kTreeOpenRefresh, cmd::kTreeOpenNewWindow,
                                            cmd::kTreeModify,     cmd::kTreeRename,      cmd::kTreeDelete,
                                            cmd::kTreeNewView,    cmd::kTreeNewFolder};
    const Case cases[] = {
        {"view never searched", n("Serial"), false,
         {cmd::kTreeOpenRefresh, cmd::kTreeOpenNewWindow, cmd::kTreeModify, cmd::kTreeRename, cmd::kTreeDelete,
          cmd::kTreeNewView, cmd::kTreeNewFolder},
         cmd::kTreeOpenRefresh},
        {"view searched", n("Office"), false, all, cmd::kTreeOpen},
        {"view searched, refresh always", n("Office"), true, all, cmd::kTreeOpenRefresh},
        {"folder with members", n("Lab"), false, {cmd::kTreeRename, cmd::kTreeNewView, cmd::kTreeNewFolder}, 0},
        {"empty folder", n("Empty"), false,
         {cmd::kTreeRename, cmd::kTreeDelete, cmd::kTreeNewView, cmd::kTreeNewFolder}, 0},
        {"the root", views_->root(), false, {cmd::kTreeNewView, cmd::kTreeNewFolder}, 0},
        {"no item", nullptr, false, {cmd::kTreeNewView, cmd::kTreeNewFolder}, 0},
    };
    for (const auto& c : cases) {
      pane_->setRefreshAlways(c.refreshAlways);
      std::unique_ptr<QMenu> menu(pane_->buildPopup(c.node));
      for (std::uint32_t id : all) {
        QAction* action = findAction(menu.get(), id);
        const std::string label = std::string(c.what) + ", command " + std::to_string(id);
        QVERIFY2(action, label.c_str());
        QVERIFY2(action->text() == QString::fromUtf8(app::findCommand(id)->text), label.c_str());
        const bool wanted = std::find(c.enabled.begin(), c.enabled.end(), id) != c.enabled.end();
        QVERIFY2(action->isEnabled() == wanted, label.c_str());
        QVERIFY2(action->font().bold() == (id == c.defaultId), label.c_str());
      }
      QAction* def = menu->defaultAction();
      QVERIFY2((def ? def->data().value<quint32>() : 0u) == c.defaultId, c.what);
    }

    // The new-item commands sit in the "&New" sub-menu.
    std::unique_ptr<QMenu> menu(pane_->buildPopup(n("Office")));
    QAction* folder = findAction(menu.get(), cmd::kTreeNewFolder);
    QVERIFY(folder);
    QVERIFY(!menu->actions().contains(folder));

    // Without a view manager nothing is offered.
    pane_->setViewManager(nullptr);
    std::unique_ptr<QMenu> readOnly(pane_->buildPopup(n("Office")));
    for (std::uint32_t id : all) QVERIFY(!findAction(readOnly.get(), id)->isEnabled());
    QVERIFY(!readOnly->defaultAction());
  }

  void otherCommandsGoToTheMainWindowWhenEnabled() {
    QSignalSpy requested(pane_.get(), &ViewTreePane::commandRequested);
    pane_->runCommand(cmd::kTreeOpen, n("Office"));
    pane_->runCommand(cmd::kTreeOpen, n("Serial"));         // never searched: Open is off
    pane_->runCommand(cmd::kTreeModify, n("Lab"));          // a folder has no settings
    pane_->runCommand(cmd::kTreeNewFolder, n("Lab"));
    pane_->runCommand(cmd::kTreeNewView, nullptr);
    pane_->runCommand(cmd::kRefresh, n("Office"));          // not a tree command
    QCOMPARE(requested.count(), 3);
    QCOMPARE(requested.at(0).at(0).value<std::uint32_t>(), cmd::kTreeOpen);
    QCOMPARE(requested.at(0).at(1).value<const app::CViewNode*>(), n("Office"));
    QCOMPARE(requested.at(1).at(0).value<std::uint32_t>(), cmd::kTreeNewFolder);
    QVERIFY(requested.at(2).at(1).value<const app::CViewNode*>() == nullptr);
    QVERIFY(dialogs_.asked.empty());
  }

 private:
  app::CViewNode* n(const char* name) const { return views_->find(name); }

  // F2 on the node's item, the text typed over, Enter.
  bool typeIntoEditor(const app::CViewNode* node, const QString& text) {
    pane_->show();
    if (!QTest::qWaitForWindowExposed(pane_.get())) return false;
    pane_->selectNode(node);
    pane_->setFocus();
    QTest::keyClick(pane_.get(), Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(pane_->indexWidget(pane_->indexOf(node)));
    if (!editor || !pane_->editing()) return false;
    editor->selectAll();
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits and closes on its next turn of the event loop.
    return QTest::qWaitFor([this] { return !pane_->editing(); }, 2000);
  }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<platform::Registry> reg_;
  app::IdleViewDiscoveryFactory factory_;
  std::unique_ptr<app::CViewManager> views_;
  std::unique_ptr<ViewTreePane> pane_;
  Dialogs dialogs_;
};

QTEST_MAIN(TestViewTreePane)
#include "test_view_tree_pane.moc"
