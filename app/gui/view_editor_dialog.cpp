#include "app/gui/view_editor_dialog.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/gui/message_box_presenter.h"
#include "app/gui/device_entry_dialog.h"
#include "app/gui/netware_entry_dialog.h"
#include "app/gui/view_editor_page_widgets.h"
#include "app/view_def.h"
#include "app/view_manager.h"
#include "platform/report_error.h"

using Page = app::CCustomizeViewPropSheet::Page;

CViewEditorDialog::CViewEditorDialog(app::CCustomizeViewPropSheet& sheet, app::CViewManager& views,
                                     const std::string& programDirectory, QWidget* owner)
    : QDialog(owner), sheet_(sheet), views_(views), programDirectory_(programDirectory), pages_(sheet.pages()) {
  setWindowTitle(app::kViewEditorTitle);
  setObjectName("viewEditorDialog");
  askYesNo = [this](const std::string& q) { return gui::askYesNo(q, false); };
  auto* layout = new QVBoxLayout(this);
  newView_ = new NewViewPageWidget(sheet_.newView(), this);
  // The Add dialog of the view's protocol: serial numbers or a network for NetWare views, one
  // IP entry for the others.
  auto specify = [this]() -> std::vector<std::string> {
    if (sheet_.filters().netware()) {
      NetWareEntryDialog dialog(this);
      return dialog.exec() == QDialog::Accepted ? dialog.entries() : std::vector<std::string>{};
    }
    DeviceEntryDialog dialog(programDirectory_, this);
    if (dialog.exec() != QDialog::Accepted || dialog.entry().empty()) return {};
    return {dialog.entry()};
  };
  filters_ = new FiltersPageWidget(sheet_.filters(), specify, this);
  columns_ = new ColumnsPageWidget(sheet_.columns(), this);
  general_ = new GeneralPageWidget(sheet_.general(), views_, this);
  connect(general_, &GeneralPageWidget::treeChanged, this, [this] {
    if (treeChanged) treeChanged();
  });

  if (sheet_.wizard()) {
    stack_ = new QStackedWidget(this);
    stack_->setObjectName("viewEditorPages");
    for (Page p : pages_) stack_->addWidget(pageWidget(p));
    layout->addWidget(stack_);
    auto* buttons = new QDialogButtonBox(this);
    back_ = buttons->addButton("< &Back", QDialogButtonBox::ActionRole);
    next_ = buttons->addButton("&Next >", QDialogButtonBox::ActionRole);
    finish_ = buttons->addButton("Finish", QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    back_->setObjectName("viewEditorBack");
    next_->setObjectName("viewEditorNext");
    finish_->setObjectName("viewEditorFinish");
    connect(back_, &QPushButton::clicked, this, &CViewEditorDialog::back);
    connect(next_, &QPushButton::clicked, this, &CViewEditorDialog::next);
    connect(finish_, &QPushButton::clicked, this, &CViewEditorDialog::finish);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(newView_, &NewViewPageWidget::defaultsToggled, this, [this] { updateButtons(); });
    layout->addWidget(buttons);
  } else {
    newView_->hide();
    viewName_ = new QComboBox(this);
    viewName_->setObjectName("viewEditorName");
    int edited = -1;
    for (const auto& n : sheet_.viewNames(&edited)) viewName_->addItem(QString::fromStdString(n));
    viewName_->setCurrentIndex(edited);
    auto* form = new QFormLayout;
    form->addRow("View Name:", viewName_);
    layout->addLayout(form);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("viewEditorTabs");
    for (Page p : pages_) tabs_->addTab(pageWidget(p), app::CCustomizeViewPropSheet::pageTitle(p));
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CViewEditorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { apply(); });
    connect(viewName_, &QComboBox::activated, this, [this] {
      sheet_.switchTo(views_.find(viewName_->currentText().toStdString()), askYesNo);
      refillPages();
    });
    layout->addWidget(buttons);
  }
  showPage(sheet_.firstPage());
}

CViewEditorDialog::~CViewEditorDialog() = default;

QWidget* CViewEditorDialog::pageWidget(Page page) {
  switch (page) {
    case Page::Welcome: {
      auto* w = new QLabel(app::kWelcomeText, this);
      w->setObjectName("viewEditorWelcome");
      w->setWordWrap(true);
      welcome_ = w;
      return w;
    }
    case Page::NewView: return newView_;
    case Page::Filters: return filters_;
    case Page::Columns: return columns_;
    case Page::General: return general_;
  }
  return nullptr;
}

Page CViewEditorDialog::currentPage() const {
  const int i = stack_ ? stack_->currentIndex() : tabs_->currentIndex();
  return pages_[static_cast<std::size_t>(std::max(i, 0))];
}

void CViewEditorDialog::showPage(Page page) {
  const auto at = std::find(pages_.begin(), pages_.end(), page);
  if (at == pages_.end()) return;
  const int i = static_cast<int>(at - pages_.begin());
  if (stack_)
    stack_->setCurrentIndex(i);
  else
    tabs_->setCurrentIndex(i);
  updateButtons();
}

void CViewEditorDialog::updateButtons() {
  if (!stack_) return;
  const Page p = currentPage();
  const bool onNewView = p == Page::NewView;
  const bool last = p == pages_.back();
  // Before the view exists the edit pages cannot be reached.
  back_->setEnabled(p != pages_.front() && !(sheet_.editedNode() && p == Page::Filters));
  next_->setVisible(!(onNewView && sheet_.newView().defaults) && !last);
  finish_->setVisible((onNewView && sheet_.newView().defaults) || last);
}

bool CViewEditorDialog::report(int code) {
  if (code == 0 || code == app::kSaveColumnsOnly || code == app::kSaveNeedsSearch) return true;
  if (code == app::kSaveFailed) code = app::kViewRegistryError;
  platform::ReportError(static_cast<std::uint32_t>(code), platform::kErrorView);
  return false;
}

void CViewEditorDialog::refillPages() {
  filters_->refill();
  columns_->refill();
  general_->refill();
}

void CViewEditorDialog::back() {
  if (!stack_ || stack_->currentIndex() <= 0) return;
  stack_->setCurrentIndex(stack_->currentIndex() - 1);
  updateButtons();
}

void CViewEditorDialog::next() {
  if (!stack_) return;
  const Page p = currentPage();
  if (p == Page::NewView && !sheet_.editedNode()) {
    if (!report(sheet_.next())) return;
    refillPages();
  }
  if (p == Page::Filters && !report(sheet_.filters().leaveCheck())) return;
  if (stack_->currentIndex() + 1 < stack_->count()) stack_->setCurrentIndex(stack_->currentIndex() + 1);
  updateButtons();
}

void CViewEditorDialog::finish() {
  if (currentPage() == Page::NewView && sheet_.newView().defaults && !sheet_.editedNode()) {
    if (!report(sheet_.finishWithDefaults())) return;
    QDialog::accept();
    return;
  }
  if (!apply()) return;
  QDialog::accept();
}

bool CViewEditorDialog::apply() {
  const int code = sheet_.apply();
  if (code == 5512 || code == 5513) showPage(Page::Filters);
  if (!report(code)) return false;
  refillPages();
  return true;
}

void CViewEditorDialog::accept() {
  if (stack_) {
    finish();
    return;
  }
  if (apply()) QDialog::accept();
}
