#include "app/view_node.h"

#include <algorithm>

#include "devices/device.h"

namespace app {

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool nameLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return lower(x) < lower(y); });
}

class IdleViewDiscovery final : public ViewDiscovery {
 public:
  std::vector<const devices::CDevice*> foundDevices() const override { return {}; }
};
}  // namespace

std::unique_ptr<ViewDiscovery> IdleViewDiscoveryFactory::create(int viewType) {
  if (viewType < kNodeTcpIpView || viewType > kNodeSerialView) return nullptr;
  return std::make_unique<IdleViewDiscovery>();
}

bool sameNodeName(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

CViewNode::CViewNode(std::string name, int type, int icons) : name_(std::move(name)), type_(type), icons_(icons) {}

CViewNode::~CViewNode() = default;

std::vector<CViewNode*> CViewNode::sortedChildren() const {
  std::vector<CViewNode*> out;
  out.reserve(children_.size());
  for (const auto& c : children_) out.push_back(c.get());
  std::stable_sort(out.begin(), out.end(), [](const CViewNode* a, const CViewNode* b) {
    if (a->isGroup() != b->isGroup()) return a->isGroup();
    return nameLess(a->name(), b->name());
  });
  return out;
}

bool CViewNode::contains(const CViewNode* node) const {
  for (; node; node = node->parent_)
    if (node == this) return true;
  return false;
}

std::string CViewNode::key() const {
  if (!parent_) return kRootNodeName;
  return parent_->key() + "\\" + name_;
}

CViewNode* CViewNode::addChild(std::unique_ptr<CViewNode> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
  return children_.back().get();
}

std::unique_ptr<CViewNode> CViewNode::removeChild(CViewNode* child) {
  auto it = std::find_if(children_.begin(), children_.end(), [&](const auto& c) { return c.get() == child; });
  if (it == children_.end()) return nullptr;
  std::unique_ptr<CViewNode> out = std::move(*it);
  children_.erase(it);
  out->parent_ = nullptr;
  return out;
}

}  // namespace app
