#pragma once
// One node of the view tree: the root, a folder, or a view of one protocol. A node's registry
// key is its parent's key, "\" and its name; the root's key is "Views" and is never written as a
// node of its own. Parents own their children; the view manager changes the tree.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/view_discovery.h"

namespace app {

enum ViewNodeType : int {
  kNodeRoot = 1,
  kNodeFolder = 2,
  kNodeTcpIpView = 6,
  kNodeNetWareView = 7,
  kNodeSerialView = 8,
  kNodeIpxView = 9,
};
inline constexpr int kViewIcons = 16;
inline constexpr const char* kRootNodeName = "Views";

constexpr bool isViewType(int type) noexcept { return type > 5; }
constexpr bool isKnownViewType(int type) noexcept { return type >= kNodeTcpIpView && type <= kNodeIpxView; }

// ASCII case-insensitive equality, as node names compare.
bool sameNodeName(std::string_view a, std::string_view b) noexcept;

class CViewNode {
 public:
  CViewNode(std::string name, int type, int icons);
  ~CViewNode();
  CViewNode(const CViewNode&) = delete;
  CViewNode& operator=(const CViewNode&) = delete;

  const std::string& name() const { return name_; }
  int type() const { return type_; }
  int icons() const { return icons_; }
  bool isRoot() const { return type_ == kNodeRoot; }
  bool isView() const { return isViewType(type_); }
  bool isGroup() const { return !isViewType(type_); }

  CViewNode* parent() const { return parent_; }
  // In load (and creation) order.
  const std::vector<std::unique_ptr<CViewNode>>& children() const { return children_; }
  // The order of the tree window: groups before views, each kind by name (case ignored).
  std::vector<CViewNode*> sortedChildren() const;
  // True when `node` is this node or lies below it.
  bool contains(const CViewNode* node) const;

  // "Views" for the root, else parent's key + "\" + name.
  std::string key() const;

  // Handle of the node's item in the tree window; the main window's business.
  void* treeItem = nullptr;

  // Created when the view is first opened; keeps the devices of its last search.
  ViewDiscovery* discovery() const { return discovery_.get(); }

 private:
  friend class CViewManager;
  CViewNode* addChild(std::unique_ptr<CViewNode> child);
  std::unique_ptr<CViewNode> removeChild(CViewNode* child);

  std::string name_;
  CViewNode* parent_ = nullptr;
  std::vector<std::unique_ptr<CViewNode>> children_;
  int type_;
  int icons_;
  std::unique_ptr<ViewDiscovery> discovery_;
};

}  // namespace app
