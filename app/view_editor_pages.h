#pragma once
// The pages of the view editor without their widgets: "New View" (the wizard's first step),
// "Filters", "Columns" and "General". Each page is filled from the edited view's CViewDef and
// stores its fields back into it; the sheet (view_editor.h) saves through the view manager.
// Checks return the message id of the view dialogs (error class 2) or 5003 (class 1), 0 for fine.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/view_def.h"

namespace app {

class CViewManager;
class CViewNode;

// --- "New View" ------------------------------------------------------------------------------
struct ViewProtocolChoice {
  const char* name;  // "TCP/IP", "NetWare", "Serial Port"
  int viewType;      // 6, 7, 8
};
// The protocols a new view may use: those the network probe found, in this order.
std::vector<ViewProtocolChoice> newViewProtocols(std::uint32_t probeFlags);

inline constexpr const char* kDefaultViewCheckText = "Automatically create a view with default settings.";

class CNewViewPage {
 public:
  explicit CNewViewPage(std::uint32_t probeFlags);
  std::string name;
  int protocol = 0;            // index into protocols(), -1 none
  bool defaults = false;       // the check box: Finish instead of Next
  const std::vector<ViewProtocolChoice>& protocols() const { return protocols_; }
  int viewType() const;        // 0 when no protocol is chosen
  // The checks of Next and Finish, in their order: 5507, 5505, 5508, or 0.
  int check(const CViewManager& views) const;

 private:
  std::vector<ViewProtocolChoice> protocols_;
};

// --- "Filters" -------------------------------------------------------------------------------
class CFiltersPage {
 public:
  // The edited view's settings; `valueChoices` gives the distinct texts of a column among the
  // devices of the view's last search (type 1 filters).
  void load(const CViewDef& def, const std::string& viewName, int viewType,
            std::function<std::vector<std::string>(int)> valueChoices);

  bool localSearch = true;
  bool listSearch = false;
  // Local search is forced on (and its box off) for the two special views.
  bool localLocked() const { return special_; }
  // The list and its buttons are enabled only with list search on; always for serial views.
  bool listEnabled() const { return listSearch || viewType_ == 8; }
  bool serial() const { return viewType_ == 8; }
  // "&Add..." of a NetWare view asks for serial numbers or a network, not for an IP entry.
  bool netware() const { return viewType_ == 7; }
  const std::vector<std::string>& entries() const { return entries_; }
  // Appends an entry; NetWare views skip one already listed. False when nothing was added.
  bool addEntry(const std::string& entry);
  // Removes entry `index`; 5504 when none (index < 0 or past the end).
  int deleteEntry(int index);
  // "COM1" ... "COM9", offered by the "Select &Port to Add:" list of serial views.
  static std::vector<std::string> serialPorts();

  // Leaving the page: 0, 5512 (list search on, list empty) or 5513 (both off).
  int leaveCheck() const;

  // --- display filter ---
  bool filterEnabled() const { return !special_; }
  // The offered columns of the protocol, then kNoColumn for "<No Filter>".
  std::vector<int> filterColumns() const;
  int filterColumn() const { return filterColumn_; }
  void setFilterColumn(int column);
  devices::FilterValueKind valueKind() const;
  // Type 0: the "&Value:" text.
  std::string valueText() const { return valueText_; }
  void setValueText(std::string text);
  // Types 1 and 2: the texts offered and the ones selected.
  const std::vector<std::string>& valueChoices() const { return choices_; }
  const std::vector<std::string>& selectedValues() const { return selected_; }
  void setSelectedValues(std::vector<std::string> values);
  // Values typed rather than picked (the command line has no search to pick from): type 1 takes
  // any non-empty texts, type 2 only its fixed values. False (nothing changes) otherwise.
  bool setTypedValues(std::vector<std::string> values);
  // The note under the value editor.
  std::string note() const;

  // Stores the flags, the list (when changed) and the filter into `def`.
  void store(CViewDef& def) const;

 private:
  void fillValues();

  int viewType_ = 0;
  bool special_ = false;
  std::vector<std::string> entries_;
  bool entriesChanged_ = false;
  std::function<std::vector<std::string>(int)> valueSource_;
  int storedFilter_ = devices::kNoColumn;
  std::vector<std::string> storedValues_;
  int filterColumn_ = devices::kNoColumn;
  std::string valueText_;
  bool valueTextModified_ = false;
  std::vector<std::string> choices_;
  std::vector<std::string> selected_;
  bool selectionChanged_ = false;
};

// --- "Columns" -------------------------------------------------------------------------------
class CColumnsPage {
 public:
  void load(const CViewDef& def, int viewType);
  // Catalogue indexes: offered server columns not displayed, offered printer columns not
  // displayed, and the displayed ones in order.
  const std::vector<int>& available() const { return available_; }
  const std::vector<int>& printer() const { return printer_; }
  const std::vector<int>& displayed() const { return displayed_; }
  enum class Source { Available, Printer };
  // "&>>": the selected row of a source list before displayed row `before` (-1: at the end).
  // 5502 when no row is selected.
  int moveIn(Source source, int index, int before);
  // "&<<": 5503 when it is the last column, 5502 when none is selected.
  int moveOut(int displayedIndex);
  // Up and down; false at the ends.
  bool moveUp(int displayedIndex);
  bool moveDown(int displayedIndex);
  // The whole displayed list at once (the command line): 5503 when empty, 5502 when a column is
  // not offered or repeated; the sort column stays when still displayed, else the first.
  int setDisplayed(const std::vector<int>& columns);
  int sortColumn() const { return sort_; }
  bool setSortColumn(int column);
  bool autoWidths = true;
  // A printer column was moved in (outside the new-view wizard the list is refreshed for it).
  bool printerColumnAdded() const { return printerAdded_; }
  void store(CViewDef& def) const;

 private:
  void refill();

  std::uint32_t offered_ = 0;
  std::vector<int> available_, printer_, displayed_;
  int sort_ = 0;
  bool descending_ = false;
  bool printerAdded_ = false;
};

// --- "General" -------------------------------------------------------------------------------
class CGeneralPage {
 public:
  void load(const CViewDef& def, const CViewNode& node);
  std::string protocolText() const;  // "TCP/IP", ..., "Unknown"
  static constexpr int kFirstIcon = 16, kLastIcon = 23;
  int icons = 16;
  CViewNode* parent = nullptr;  // "View &Location:"
  bool refreshOn = false;
  // The minutes field; setMinutes marks it modified.
  int minutes() const { return minutes_; }
  void setMinutes(int m);
  // The node change only when icons or place changed; the refresh: 0 off, else minutes x 60
  // when the field was modified.
  void store(CViewDef& def) const;

 private:
  int type_ = 0;
  int initialIcons_ = 16;
  CViewNode* initialParent_ = nullptr;
  int minutes_ = 0;
  bool minutesModified_ = false;
};

}  // namespace app
