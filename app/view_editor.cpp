#include "app/view_editor.h"

#include <algorithm>

#include "app/list_export.h"
#include "app/view_entry.h"
#include "app/view_manager.h"
#include "app/view_node.h"
#include "app/view_tree_actions.h"
#include "devices/ipv4_text.h"

namespace app {

CCustomizeViewPropSheet::CCustomizeViewPropSheet(CViewManager& views, int mode, CViewNode* node,
                                                 CViewNode* newViewParent)
    : views_(views), mode_(mode), newViewParent_(newViewParent), newView_(views.protocolFlags()) {
  if (wizard()) return;
  edited_ = node ? node : views_.openNode();
  if (!edited_ || !edited_->isView()) {
    edited_ = nullptr;
    return;
  }
  views_.loadViewSettings(edited_);
  loadPages();
}

CCustomizeViewPropSheet::~CCustomizeViewPropSheet() { close(); }

std::vector<CCustomizeViewPropSheet::Page> CCustomizeViewPropSheet::pages() const {
  std::vector<Page> out;
  if (mode_ == kEditorFirstRun) out.push_back(Page::Welcome);
  if (wizard()) out.push_back(Page::NewView);
  out.insert(out.end(), {Page::Filters, Page::Columns, Page::General});
  return out;
}

CCustomizeViewPropSheet::Page CCustomizeViewPropSheet::firstPage() const {
  switch (mode_) {
    case kEditorFirstRun: return Page::Welcome;
    case kEditorNewView: return Page::NewView;
    case kEditorGeneral: return Page::General;
    case kEditorFilters: return Page::Filters;
    default: return Page::Columns;
  }
}

const char* CCustomizeViewPropSheet::pageTitle(Page page) {
  switch (page) {
    case Page::Welcome: return "Welcome";
    case Page::NewView: return "New View";
    case Page::Filters: return "Filters";
    case Page::Columns: return "Columns";
    case Page::General: return "General";
  }
  return "";
}

void CCustomizeViewPropSheet::loadPages() {
  const CViewDef& def = views_.viewDef();
  filters_.load(def, edited_->name(), edited_->type(), [this](int column) { return views_.filterValueChoices(column); });
  columns_.load(def, edited_->type());
  general_.load(def, *edited_);
}

int CCustomizeViewPropSheet::next() {
  if (const int code = newView_.check(views_); code != kViewOk) return code;
  const NodeResult made = views_.createView(newViewParent_, newView_.name, newView_.viewType());
  if (made.code != kViewOk) return made.code;
  edited_ = made.node;
  views_.loadViewSettings(edited_);
  loadPages();
  return kViewOk;
}

int CCustomizeViewPropSheet::finishWithDefaults() {
  if (const int code = newView_.check(views_); code != kViewOk) return code;
  const NodeResult made = views_.createDefaultView(newView_.name, newView_.viewType());
  if (made.node) edited_ = made.node;
  if (made.code != kViewOk) return made.code;
  savedResult_ = kSaveNeedsSearch;
  return kViewOk;
}

std::vector<std::string> CCustomizeViewPropSheet::viewNames(int* editedIndex) const {
  std::vector<std::string> names = views_.viewNames();
  if (editedIndex) {
    *editedIndex = -1;
    for (std::size_t i = 0; edited_ && i < names.size(); ++i)
      if (names[i] == edited_->name()) *editedIndex = static_cast<int>(i);
  }
  return names;
}

bool CCustomizeViewPropSheet::switchTo(CViewNode* node, const std::function<bool(const std::string&)>& askYesNo) {
  if (!node || !node->isView() || !edited_) return false;
  if (node == edited_) return true;
  CViewDef& def = views_.viewDef();
  filters_.store(def);
  columns_.store(def);
  general_.store(def);
  if (def.changed() && askYesNo && askYesNo(kSaveSettingsQuestion)) {
    const int r = views_.saveViewSettings();
    if (r > savedResult_) savedResult_ = r;
    printerAdded_ |= columns_.printerColumnAdded();
  }
  edited_ = node;
  views_.loadViewSettings(edited_);
  loadPages();
  return true;
}

int CCustomizeViewPropSheet::apply() {
  if (!edited_) return kSaveNothing;
  if (const int code = filters_.leaveCheck(); code != 0) return code;
  CViewDef& def = views_.viewDef();
  filters_.store(def);
  columns_.store(def);
  general_.store(def);
  const int r = views_.saveViewSettings();
  if (r == kSaveFailed) return r;
  if (r > savedResult_) savedResult_ = r;
  printerAdded_ |= columns_.printerColumnAdded();
  loadPages();
  return r;
}

bool CCustomizeViewPropSheet::wantsRefresh() const { return !wizard() && printerAdded_; }

void CCustomizeViewPropSheet::close() {
  if (closed_) return;
  closed_ = true;
  // The manager's one CViewDef belongs to the open view again, as stored.
  if (views_.openNode()) views_.loadViewSettings(views_.openNode());
}

// --- "Specify a Device" ----------------------------------------------------------------------

const std::vector<DeviceEntryOption>& deviceEntryOptions() {
  static const std::vector<DeviceEntryOption> options = {
      {DeviceEntryKind::Address, "Specific IP Address (e.g. xxx.xxx.xxx.xxx)", "Enter an IP address:"},
      {DeviceEntryKind::DirectedBroadcast, "Directed Broadcast (e.g. xxx.xxx.xxx.255)", "Enter an IP address:"},
      {DeviceEntryKind::Subnet, "Subnet Search (e.g. xxx.xxx.xxx.*)", "Enter an IP address:"},
      {DeviceEntryKind::Multicast, "Multicast", "Time To Live (hops):"},
      {DeviceEntryKind::File, "Address List From File", "Enter File Path:"},
  };
  return options;
}

std::string deviceEntryDefault(DeviceEntryKind kind, const std::string& programDirectory) {
  switch (kind) {
    case DeviceEntryKind::Multicast: return "5";
    case DeviceEntryKind::File: {
      std::string dir = programDirectory;
      if (!dir.empty() && dir.back() != '/') dir += '/';
      return dir + kDefaultAddressFileName;
    }
    default: return {};
  }
}

DeviceEntry buildDeviceEntry(DeviceEntryKind kind, const std::string& rawText) {
  constexpr int kInvalid = 5003;
  std::string text = rawText;
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.erase(text.begin());
  DeviceEntry out;
  switch (kind) {
    case DeviceEntryKind::Address: out.entry = text; break;
    case DeviceEntryKind::DirectedBroadcast: out.entry = text + "<DB>"; break;
    case DeviceEntryKind::Subnet:
      if (text.find('*') == std::string::npos) return {kInvalid, {}};
      out.entry = text;
      break;
    case DeviceEntryKind::Multicast: out.entry = "Multicast<" + text + ">"; break;
    case DeviceEntryKind::File: out.entry = "File<" + text + ">"; break;
  }
  // An address with "*" is a subnet search only when asked for one; a hop count is 1 to 255.
  const bool starOutsideSubnet = kind != DeviceEntryKind::Subnet && kind != DeviceEntryKind::File &&
                                 text.find('*') != std::string::npos;
  const bool bracket = kind != DeviceEntryKind::File && text.find_first_of("<>") != std::string::npos;
  if (starOutsideSubnet || bracket || text.empty() || !validTcpIpEntry(out.entry)) return {kInvalid, {}};
  return out;
}

// --- "Select a View" -------------------------------------------------------------------------

SelectViewState selectViewState(const CViewManager& views, const CViewNode* node) {
  SelectViewState s;
  const int code = views.deleteCheck(node);
  if (code != kViewOk) s.note = viewResultText(code);
  s.deleteEnabled = code == kViewOk;
  s.renameEnabled = node && !node->isRoot();
  return s;
}

std::string renamePrompt(const CViewNode& node) {
  return std::string("Rename the ") + nodeKindWord(node) + " \"" + node.name() + "\" to:";
}

std::vector<int> folderIconChoices() { return {0, 2, 4, 6, 8, 10, 12, 14}; }

}  // namespace app
