#pragma once
// The view tree: loaded from the registry at start-up, exactly one view open, its settings in one
// CViewDef, and the operations that change the tree (create, rename, move, delete) with the
// result codes the dialogs and trellanctl report. Every registry change of one operation is one
// settings transaction: a copy that fails leaves its source in place, and memory changes only
// after the store did.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/view_def.h"
#include "app/view_discovery.h"
#include "app/view_node.h"

namespace platform {
class Registry;
}

namespace app {

class CViewManager;

// Result codes (message ids of the view dialogs, error class 2, and the key copy's own codes).
enum ViewResult : int {
  kViewOk = 0,
  kKeyCopyFailed = 3,          // source missing, destination not creatable, or the store not written
  kKeyCopyIncomplete = 299,    // a value or subkey could not be copied (nothing changed)
  kKeyCopyTargetExists = 5010, // destination key already exists (nothing copied)
  kViewNoneSelected = 5500,
  kViewCannotDelete = 5501,    // the root
  kViewNameExists = 5505,
  kViewNeedsName = 5507,
  kViewNoProtocol = 5508,
  kViewNameBackslash = 5509,
  kViewRegistryError = 5510,
  kViewFolderNotEmpty = 5514,
  kViewIsOpen = 5036,
  kViewIsOnlyView = 5037,
  kViewBadTarget = 87,         // move onto itself, into its own subtree, or into a view
};

// Result of the start-up when no view exists and the user will not create one.
inline constexpr int kStartNoView = 10;

inline constexpr const char* kFirstViewQuestion =
    "Trellan requires that a view be created before it can begin.  Would you like to create a view now?";
inline constexpr const char* kUnconfiguredViewName = "Unconfigured Print Servers";
inline constexpr const char* kAllViewName = "All Print Servers";

// The two views whose local search is always on and whose display filter is fixed off.
bool isSpecialView(std::string_view name);

// Network-probe flags of the protocols a new view may use.
inline constexpr std::uint32_t kProbeTcpIp = 0x0001;
inline constexpr std::uint32_t kProbeNetWare = 0x0100;
inline constexpr std::uint32_t kProbeSerial = 0x8000;

// The text of a result code ("" for kViewOk).
std::string viewResultText(int code);

// What start-up needs from the user interface.
class ViewTreeUi {
 public:
  virtual ~ViewTreeUi() = default;
  // The view editor titled "Modify View" from its welcome page. Returns the view the user
  // finished, or nullptr when the user cancelled (a view made half-way is then deleted).
  virtual CViewNode* createFirstView(CViewManager& views) = 0;
  // Yes/No with a question icon; true for Yes.
  virtual bool askYesNo(const std::string& text) = 0;
};

struct NodeResult {
  int code = kViewOk;
  CViewNode* node = nullptr;
};

// The protocol folder "New View" with Finish puts a view in.
struct ProtocolFolder {
  const char* name;
  int icons;
};
// TCP/IP "TCP/IP" 7, NetWare "NetWare" 9, serial "Serial" 5, IPX "IPX" 3; {nullptr, 0} otherwise.
ProtocolFolder protocolFolder(int viewType);
// Columns a view of the protocol may show (catalogue column bits); 0 for IPX and unknown types.
std::uint32_t offeredColumnBits(int viewType);
// "TCP/IP", "NetWare", "Serial Port", "IPX Broadcast" or "Unknown".
const char* viewProtocolName(int viewType);

class CViewManager {
 public:
  CViewManager(platform::Registry& reg, ViewDiscoveryFactory& factory);
  ~CViewManager();
  CViewManager(const CViewManager&) = delete;
  CViewManager& operator=(const CViewManager&) = delete;

  // Builds the tree from the "Views" key (replacing any tree in memory). No view is open after.
  void loadTree();
  // Start-up: keeps the probe flags, loads the tree, opens General\CurrentView (or the first
  // view), asks for a first view while there is none. 0, or kStartNoView.
  int start(ViewTreeUi& ui, std::uint32_t protocolFlags);

  CViewNode* root() const { return root_.get(); }
  // Every node but the root, in load order (folders made later sit right after their parent).
  const std::vector<CViewNode*>& nodes() const { return nodes_; }
  CViewNode* openNode() const { return openNode_; }
  CViewDef& viewDef() { return def_; }
  const CViewDef& viewDef() const { return def_; }
  std::uint32_t protocolFlags() const { return protocolFlags_; }
  platform::Registry& registry() { return reg_; }

  CViewNode* find(std::string_view name) const;  // case ignored; the root by "Views" too
  bool nameExists(std::string_view name) const;
  // The values the filter editor offers for a column of value type 1: the distinct non-empty
  // texts of the column among the devices of the edited view's last search.
  std::vector<std::string> filterValueChoices(int column) const;
  // Names of all views in load order; `openIndex` gets the open view's index or -1.
  std::vector<std::string> viewNames(int* openIndex = nullptr) const;
  std::size_t viewCount() const;

  // Fills the CViewDef from the node's key and attaches it to the node; creates the node's
  // discovery when it has none. False for a group, or a type without a discovery method (the
  // settings are still loaded then, so they can be shown and edited).
  bool loadViewSettings(CViewNode* node);

  struct OpenResult {
    bool ok = false;             // the node is the open view and has a discovery
    bool changed = false;        // it was not the open view before
    bool hadDiscovery = false;   // it had been opened (and could show its last devices)
  };
  // Makes the node the open view; when it already is, reloads only with `force`. A change writes
  // General\CurrentView.
  OpenResult openView(CViewNode* node, bool force);

  // Writes the changed groups of the CViewDef, then its node change (icons, parent). 0, 101,
  // 102, or kSaveFailed.
  int saveViewSettings();
  // The list's column order and widths (nullptr: automatic), written at once.
  bool saveColumnLayout(const std::vector<int>& columns, const std::vector<int>* widths);
  // With `write`, Sort is written at once.
  bool setSort(int column, bool descending, bool write);

  int renameNode(CViewNode* node, std::string_view newName);
  int moveNode(CViewNode* node, CViewNode* newParent);
  // Why the node cannot be deleted by the user now (kViewOk when it can).
  int deleteCheck(const CViewNode* node) const;
  // Removes the node and its registry key (root, open view and non-empty folder refused).
  int deleteNode(CViewNode* node);
  NodeResult createFolder(CViewNode* parent, std::string_view name, int icons);
  NodeResult createView(CViewNode* parent, std::string_view name, int type);
  // "New View" with Finish: the view in its protocol folder with the default settings, saved.
  NodeResult createDefaultView(std::string_view name, int type);
  // Sets the defaults of "New View" for the protocol in the CViewDef (not saved).
  static void applyDefaultSettings(CViewDef& def, int type);

  // Copies the key tree `from` to `to` (which must not exist) and, when asked, deletes the source,
  // all in one transaction. kViewOk, kKeyCopyFailed, kKeyCopyTargetExists or kKeyCopyIncomplete;
  // the source is deleted only when the whole copy succeeded.
  static int copyKey(platform::Registry& reg, const std::string& from, const std::string& to, bool deleteSource);

 private:
  int checkNewName(std::string_view name) const;
  void loadChildren(CViewNode* parent, int depth);
  void forget(CViewNode* node);

  platform::Registry& reg_;
  ViewDiscoveryFactory& factory_;
  std::unique_ptr<CViewNode> root_;
  std::vector<CViewNode*> nodes_;
  CViewNode* openNode_ = nullptr;
  CViewDef def_;
  std::uint32_t protocolFlags_ = 0;
};

}  // namespace app
