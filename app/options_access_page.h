#pragma once
// The "Device Access" page of Options without its widgets: one access list per protocol the
// computer has, the patterns with their communities, "Add an Access Entry" and Delete. Every
// list the user looked at stays in memory until OK, so Cancel undoes a protocol switch too.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/access_list.h"

namespace platform {
class Registry;
}

namespace app {

struct AccessProtocol {
  const char* name;  // "TCP/IP", "NetWare", "Serial Port"
  int viewType;      // 6, 7, 8
  const char* key;   // Access\IP, Access\NW, Access\COM
};

// The protocols the page offers for the network probe's flags, in their fixed order.
std::vector<AccessProtocol> accessProtocols(std::uint32_t probeFlags);

inline constexpr const char* kDeleteAccessQuestion = "Do you want to delete this access entry?";
inline constexpr const char* kDeleteAccessTitle = "Verify Delete";

class CDeviceAccessPage {
 public:
  CDeviceAccessPage(const platform::Registry& reg, std::uint32_t probeFlags);

  const std::vector<AccessProtocol>& protocols() const { return protocols_; }
  int protocolIndex() const { return protocol_; }
  // Shows another protocol's list (loaded from the store the first time).
  void selectProtocol(int index);
  // The "&Address:" list: "<Default>" first.
  std::vector<std::string> addresses() const;
  int selectedEntry() const { return selected_; }
  void selectEntry(int index);
  // The selected entry's communities (the page shows them hidden).
  std::string getCommunity() const;
  std::string setCommunity() const;
  // Stores both communities into the selected entry; false when nothing is selected.
  bool setCommunities(std::string_view get, std::string_view set);

  // "A&dd" and "&Delete" are off for serial lists.
  bool canAddDelete() const;
  // The prompt of "Add an Access Entry" for the shown protocol.
  const char* addPrompt() const;
  // Adds a pattern (checked as the dialog checks it, then as the list can store it) with the
  // default entry's communities and selects it. 0, or the string id of the message to show.
  std::uint32_t addEntry(std::string_view pattern);
  // Removes the selected entry (never "<Default>"); the caller asked kDeleteAccessQuestion first.
  bool deleteSelected();

  bool changed() const;
  // Writes every list that changed, each only in its changed values.
  bool save(platform::Registry& reg) const;
  // The shown list (tests, the command line).
  const CAccessList& list(int protocolIndex) const { return lists_[static_cast<std::size_t>(protocolIndex)].list; }
  CAccessList& list(int protocolIndex) { return lists_[static_cast<std::size_t>(protocolIndex)].list; }
  void markChanged(int protocolIndex) { lists_[static_cast<std::size_t>(protocolIndex)].changed = true; }

 private:
  struct Held {
    CAccessList list;
    bool loaded = false;
    bool changed = false;
  };
  Held& shown();
  const Held& shown() const;

  const platform::Registry& reg_;
  std::vector<AccessProtocol> protocols_;
  std::vector<Held> lists_;
  int protocol_ = -1;
  int selected_ = 0;
};

}  // namespace app
