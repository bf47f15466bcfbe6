#include "app/view_manager.h"

#include <algorithm>

#include "app/settings.h"
#include "platform/registry.h"
#include "platform/string_table.h"

namespace app {

namespace {

// Nesting is bounded by the store's path limit already; this keeps a hostile file from recursing
// deeply through us even if that limit changes.
constexpr int kMaxDepth = 64;

bool validNameChars(std::string_view name) { return name.find('\\') == std::string_view::npos; }

}  // namespace

std::string viewResultText(int code) {
  switch (code) {
    case kViewOk: return {};
    case kViewBadTarget: return "A view or group cannot be moved into itself, one of its sub-groups or a view.";
    case kKeyCopyFailed:
    case kKeyCopyIncomplete:
    case kKeyCopyTargetExists: code = kViewRegistryError; break;
    default: break;
  }
  if (const char* text = platform::loadString(static_cast<std::uint32_t>(code))) return text;
  return "Error " + std::to_string(code);
}

bool isSpecialView(std::string_view name) { return name == kAllViewName || name == kUnconfiguredViewName; }

ProtocolFolder protocolFolder(int viewType) {
  switch (viewType) {
    case kNodeTcpIpView: return {"TCP/IP", 7};
    case kNodeNetWareView: return {"NetWare", 9};
    case kNodeSerialView: return {"Serial", 5};
    case kNodeIpxView: return {"IPX", 3};
    default: return {nullptr, 0};
  }
}

std::uint32_t offeredColumnBits(int viewType) {
  switch (viewType) {
    case kNodeTcpIpView: return 0x1FFFC7DD;
    case kNodeNetWareView: return 0x1FFFFF1B;
    case kNodeSerialView: return 0x000FC7DD;
    default: return 0;
  }
}

const char* viewProtocolName(int viewType) {
  switch (viewType) {
    case kNodeTcpIpView: return "TCP/IP";
    case kNodeNetWareView: return "NetWare";
    case kNodeSerialView: return "Serial Port";
    case kNodeIpxView: return "IPX Broadcast";
    default: return "Unknown";
  }
}

CViewManager::CViewManager(platform::Registry& reg, ViewDiscoveryFactory& factory)
    : reg_(reg), factory_(factory), root_(std::make_unique<CViewNode>(kRootNodeName, kNodeRoot, 0)) {}

CViewManager::~CViewManager() = default;

int CViewManager::copyKey(platform::Registry& reg, const std::string& from, const std::string& to,
                          bool deleteSource) {
  int result = kViewOk;
  const bool written = reg.transaction([&](platform::Registry& tx) {
    if (!tx.keyExists(from)) {
      result = kKeyCopyFailed;
      return false;
    }
    if (tx.keyExists(to)) {
      result = kKeyCopyTargetExists;
      return false;
    }
    if (!tx.createKey(to)) {
      result = kKeyCopyFailed;
      return false;
    }
    if (!tx.copyTree(from, to) || (deleteSource && !tx.deleteTree(from))) {
      result = kKeyCopyIncomplete;
      return false;
    }
    return true;
  });
  if (!written && result == kViewOk) result = kKeyCopyFailed;
  return result;
}

void CViewManager::loadTree() {
  def_.attach(nullptr, {}, nullptr);
  openNode_ = nullptr;
  nodes_.clear();
  root_ = std::make_unique<CViewNode>(kRootNodeName, kNodeRoot, 0);
  if (reg_.keyExists(kViewsKey)) loadChildren(root_.get(), 0);
}

void CViewManager::loadChildren(CViewNode* parent, int depth) {
  if (depth >= kMaxDepth) return;
  const std::string parentKey = parent->key();
  for (const std::string& name : reg_.subKeys(parentKey)) {
    const std::string key = parentKey + "\\" + name;
    const auto type = reg_.getDword(key, "Type");
    const auto icons = reg_.getDword(key, "Icons");
    if (!type || !icons) continue;
    // Names are unique across the tree; a second node of a name (hand-edited or imported data)
    // stays in the store but is not shown.
    if (nameExists(name)) continue;
    int t = static_cast<int>(std::min<std::uint32_t>(*type, 0x7FFFFFFF));
    std::uint32_t i = *icons;
    if (t < kNodeFolder) t = kNodeFolder;  // there is one root
    if (t == kNodeFolder && i > 15) {
      const std::uint32_t upper = i >> 16;
      i = (upper == 0 || upper == 2) ? upper : 0;
    }
    CViewNode* node = parent->addChild(std::make_unique<CViewNode>(name, t, static_cast<int>(i & 0xFFFF)));
    nodes_.push_back(node);
    if (node->isGroup()) loadChildren(node, depth + 1);
  }
}

int CViewManager::start(ViewTreeUi& ui, std::uint32_t protocolFlags) {
  protocolFlags_ = protocolFlags;
  loadTree();
  const std::string current = reg_.getString(kGeneralKey, "CurrentView", kAllViewName);
  for (CViewNode* n : nodes_)
    if (n->isView() && n->name() == current) {
      openNode_ = n;
      break;
    }
  if (!openNode_)
    for (CViewNode* n : nodes_)
      if (n->isView()) {
        openNode_ = n;
        break;
      }
  while (!openNode_) {
    const std::vector<CViewNode*> before = nodes_;
    CViewNode* made = ui.createFirstView(*this);
    if (made && made->isView() && std::find(nodes_.begin(), nodes_.end(), made) != nodes_.end()) {
      openNode_ = made;
      break;
    }
    // A view the editor created before it was cancelled goes again.
    std::vector<CViewNode*> halfMade;
    for (CViewNode* n : nodes_)
      if (n->isView() && std::find(before.begin(), before.end(), n) == before.end()) halfMade.push_back(n);
    for (CViewNode* n : halfMade) deleteNode(n);
    def_.attach(nullptr, {}, nullptr);
    if (!ui.askYesNo(kFirstViewQuestion)) return kStartNoView;
  }
  loadViewSettings(openNode_);
  return 0;
}

CViewNode* CViewManager::find(std::string_view name) const {
  if (sameNodeName(name, root_->name())) return root_.get();
  for (CViewNode* n : nodes_)
    if (sameNodeName(n->name(), name)) return n;
  return nullptr;
}

bool CViewManager::nameExists(std::string_view name) const { return find(name) != nullptr; }

std::vector<std::string> CViewManager::viewNames(int* openIndex) const {
  std::vector<std::string> names;
  if (openIndex) *openIndex = -1;
  for (CViewNode* n : nodes_) {
    if (!n->isView()) continue;
    if (openIndex && n == openNode_) *openIndex = static_cast<int>(names.size());
    names.push_back(n->name());
  }
  return names;
}

std::vector<std::string> CViewManager::filterValueChoices(int column) const {
  if (!def_.discovery()) return {};
  const std::vector<const devices::CDevice*> found = def_.discovery()->foundDevices();
  return devices::filterValueChoices(found, column);
}

std::size_t CViewManager::viewCount() const {
  return static_cast<std::size_t>(std::count_if(nodes_.begin(), nodes_.end(), [](CViewNode* n) { return n->isView(); }));
}

bool CViewManager::loadViewSettings(CViewNode* node) {
  if (!node || !node->isView()) return false;
  if (!node->discovery_) node->discovery_ = factory_.create(node->type());
  def_.attach(node, node->name(), node->discovery());
  def_.load(reg_, node->key());
  return node->discovery() != nullptr;
}

CViewManager::OpenResult CViewManager::openView(CViewNode* node, bool force) {
  OpenResult r;
  if (!node || !node->isView()) return r;
  r.hadDiscovery = node->discovery() != nullptr;
  if (node == openNode_ && !force && def_.node() == node) {
    r.ok = r.hadDiscovery;
    return r;
  }
  r.changed = node != openNode_;
  openNode_ = node;
  r.ok = loadViewSettings(node);
  if (r.changed) reg_.setString(kGeneralKey, "CurrentView", node->name());
  return r;
}

int CViewManager::saveViewSettings() {
  CViewNode* node = def_.node();
  if (!node) return kSaveNothing;
  int result = def_.save(reg_, node->key());
  if (result == kSaveFailed || !def_.nodeChanged()) return result;

  const int icons = def_.newIcons();
  CViewNode* parent = def_.newParent();
  def_.clearNodeChange();
  bool nodeDidChange = false;
  if (icons != node->icons()) {
    if (!reg_.setDword(node->key(), "Icons", static_cast<std::uint32_t>(icons))) return kSaveFailed;
    node->icons_ = icons;
    nodeDidChange = true;
  }
  // A move onto the node's own parent is no move.
  if (parent && parent != node->parent()) {
    if (moveNode(node, parent) != kViewOk) return kSaveFailed;
    nodeDidChange = true;
  }
  return (result == kSaveNothing && nodeDidChange) ? kSaveColumnsOnly : result;
}

bool CViewManager::saveColumnLayout(const std::vector<int>& columns, const std::vector<int>* widths) {
  CViewNode* node = def_.node();
  return node && def_.writeColumnLayout(reg_, node->key(), columns, widths);
}

bool CViewManager::setSort(int column, bool descending, bool write) {
  def_.setSort(column, descending);
  if (!write) return true;
  CViewNode* node = def_.node();
  return node && def_.writeSort(reg_, node->key());
}

int CViewManager::checkNewName(std::string_view name) const {
  if (name.empty()) return kViewNeedsName;
  if (!validNameChars(name)) return kViewNameBackslash;
  if (nameExists(name)) return kViewNameExists;
  return kViewOk;
}

int CViewManager::renameNode(CViewNode* node, std::string_view newName) {
  if (!node) return kViewNoneSelected;
  if (newName.empty()) return kViewNeedsName;
  if (!validNameChars(newName)) return kViewNameBackslash;
  if (sameNodeName(node->name(), newName)) return kViewOk;
  if (node->isRoot()) return kViewCannotDelete;
  if (nameExists(newName)) return kViewNameExists;
  const std::string from = node->key();
  const std::string to = node->parent()->key() + "\\" + std::string(newName);
  if (copyKey(reg_, from, to, true) != kViewOk) return kViewRegistryError;
  node->name_ = std::string(newName);
  if (node == openNode_) reg_.setString(kGeneralKey, "CurrentView", node->name());
  if (def_.node() == node) def_.attach(node, node->name(), node->discovery());
  return kViewOk;
}

int CViewManager::moveNode(CViewNode* node, CViewNode* newParent) {
  if (!node || !newParent || node->isRoot()) return kViewBadTarget;
  if (newParent == node->parent()) return kViewOk;
  if (!newParent->isGroup() || node->contains(newParent)) return kViewBadTarget;
  const int copied = copyKey(reg_, node->key(), newParent->key() + "\\" + node->name(), true);
  if (copied != kViewOk) return copied;
  newParent->addChild(node->parent()->removeChild(node));
  return kViewOk;
}

int CViewManager::deleteCheck(const CViewNode* node) const {
  if (!node) return kViewNoneSelected;
  if (node->isRoot()) return kViewCannotDelete;
  if (node == openNode_) return viewCount() < 2 ? kViewIsOnlyView : kViewIsOpen;
  if (!node->children().empty()) return kViewFolderNotEmpty;
  return kViewOk;
}

int CViewManager::deleteNode(CViewNode* node) {
  if (!node) return kViewNoneSelected;
  if (node->isRoot()) return kViewCannotDelete;
  if (node == openNode_) return kViewIsOpen;
  if (!node->children().empty()) return kViewFolderNotEmpty;
  if (!reg_.deleteTree(node->key())) return kViewRegistryError;
  if (def_.node() == node) def_.attach(nullptr, {}, nullptr);
  forget(node);
  node->parent()->removeChild(node);  // destroys the node with its discovery and devices
  return kViewOk;
}

void CViewManager::forget(CViewNode* node) {
  for (const auto& c : node->children()) forget(c.get());
  std::erase(nodes_, node);
}

NodeResult CViewManager::createFolder(CViewNode* parent, std::string_view name, int icons) {
  if (!parent) parent = root_.get();
  if (!parent->isGroup()) return {kViewBadTarget, nullptr};
  if (const int c = checkNewName(name); c != kViewOk) return {c, nullptr};
  // The protocol folders use odd images (TCP/IP 7); the folder dialog offers the even ones.
  icons = std::clamp(icons, 0, 15);
  const std::string key = parent->key() + "\\" + std::string(name);
  // A leftover key of that name (one the tree skipped) is not merged into.
  if (reg_.keyExists(key)) return {kViewNameExists, nullptr};
  const bool ok = reg_.transaction([&](platform::Registry& tx) {
    return tx.setDword(key, "Type", kNodeFolder) && tx.setDword(key, "Icons", static_cast<std::uint32_t>(icons));
  });
  if (!ok) return {kViewRegistryError, nullptr};
  CViewNode* node = parent->addChild(std::make_unique<CViewNode>(std::string(name), kNodeFolder, icons));
  auto at = parent->isRoot() ? nodes_.begin() : std::find(nodes_.begin(), nodes_.end(), parent);
  nodes_.insert(at == nodes_.end() ? at : (parent->isRoot() ? at : at + 1), node);
  return {kViewOk, node};
}

NodeResult CViewManager::createView(CViewNode* parent, std::string_view name, int type) {
  if (!parent) parent = root_.get();
  if (!parent->isGroup()) return {kViewBadTarget, nullptr};
  if (const int c = checkNewName(name); c != kViewOk) return {c, nullptr};
  if (!isKnownViewType(type)) return {kViewNoProtocol, nullptr};
  const std::string key = parent->key() + "\\" + std::string(name);
  if (reg_.keyExists(key)) return {kViewNameExists, nullptr};
  const bool ok = reg_.transaction([&](platform::Registry& tx) {
    return tx.setDword(key, "Type", static_cast<std::uint32_t>(type)) && tx.setDword(key, "Icons", kViewIcons);
  });
  if (!ok) return {kViewRegistryError, nullptr};
  CViewNode* node = parent->addChild(std::make_unique<CViewNode>(std::string(name), type, kViewIcons));
  nodes_.push_back(node);
  loadViewSettings(node);
  return {kViewOk, node};
}

void CViewManager::applyDefaultSettings(CViewDef& def, int type) {
  using namespace devices;
  switch (type) {
    case kNodeNetWareView:
      def.setColumns({kColNwName, kColSerialNumber, kColNetworkNumber, kColPortStatus});
      def.setLocalSearch(true);
      def.setListSearch(false);
      def.setSearchList({});
      def.setSort(kColNwName, false);
      break;
    case kNodeSerialView:
      def.setColumns({kColSystemName, kColHwAddress, kColSerialPort, kColPortStatus});
      def.setLocalSearch(false);
      def.setListSearch(true);
      def.setSearchList({"COM1"});
      def.setSort(kColSystemName, false);
      break;
    default:  // TCP/IP; IPX views take the same
      def.setColumns({kColSystemName, kColIpAddress, kColHwAddress, kColPortStatus});
      def.setLocalSearch(true);
      def.setListSearch(false);
      def.setSearchList({});
      def.setSort(kColSystemName, false);
      break;
  }
}

NodeResult CViewManager::createDefaultView(std::string_view name, int type) {
  if (const int c = checkNewName(name); c != kViewOk) return {c, nullptr};
  const ProtocolFolder pf = protocolFolder(type);
  if (!pf.name) return {kViewNoProtocol, nullptr};
  CViewNode* folder = root_.get();
  if (CViewNode* existing = find(pf.name)) {
    if (existing->type() == kNodeFolder) folder = existing;
  } else {
    NodeResult f = createFolder(root_.get(), pf.name, pf.icons);
    if (f.code != kViewOk) return f;
    folder = f.node;
  }
  NodeResult v = createView(folder, name, type);
  if (v.code != kViewOk) return v;
  applyDefaultSettings(def_, type);
  def_.markAllChanged();  // every value written, not left to the defaults of missing ones
  if (saveViewSettings() == kSaveFailed) return {kViewRegistryError, v.node};
  return v;
}

}  // namespace app
