#pragma once
// The view editor without its widgets: CCustomizeViewPropSheet with its modes (the first-run
// wizard, the new-view wizard, and the edit sheet opened on "General", "Filters" or "Columns"),
// the "View Name:" switch between views, OK/Apply, and the end that gives the view manager back
// the open view's settings. Everything is stored through the view manager's operations.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/view_editor_pages.h"

namespace app {

class CViewManager;
class CViewNode;

enum ViewEditorMode : int {
  kEditorFirstRun = 0,  // welcome page, "New View", then the edit pages (no view yet)
  kEditorNewView = 1,   // "New View", then the edit pages
  kEditorGeneral = 2,   // tree pop-up "Modify"
  kEditorFilters = 3,   // the display-filter shortcut
  kEditorColumns = 4,   // "Modify Current View" (any other number too)
};

inline constexpr const char* kViewEditorTitle = "Modify View";
inline constexpr const char* kSaveSettingsQuestion = "Do you want to save the settings?";
inline constexpr const char* kSaveSettingsTitle = "Customize View";
inline constexpr const char* kWelcomeText =
    "Trellan shows the print servers it finds in views. A view says which protocol to search with, where to "
    "search, which columns to show and how to sort and filter them.\n\nThe following pages create your first view.";

class CCustomizeViewPropSheet {
 public:
  enum class Page { Welcome, NewView, Filters, Columns, General };

  // `node`: the view to edit (modes 2 and above; null means the open view). `newViewParent`: the
  // folder a view made by "New View" with Next goes into (null: the root).
  CCustomizeViewPropSheet(CViewManager& views, int mode, CViewNode* node = nullptr,
                          CViewNode* newViewParent = nullptr);
  ~CCustomizeViewPropSheet();
  CCustomizeViewPropSheet(const CCustomizeViewPropSheet&) = delete;
  CCustomizeViewPropSheet& operator=(const CCustomizeViewPropSheet&) = delete;

  int mode() const { return mode_; }
  bool wizard() const { return mode_ == kEditorFirstRun || mode_ == kEditorNewView; }
  std::vector<Page> pages() const;
  Page firstPage() const;
  static const char* pageTitle(Page page);

  // --- the wizard's "New View" ---
  CNewViewPage& newView() { return newView_; }
  // Next: the checks, then the view is made under the folder given at the start and becomes the
  // edited view; the edit pages follow. 0 or the message id.
  int next();
  // Finish with the default-settings box: the view with its protocol's defaults in its protocol
  // folder, saved. The sheet is done. 0 or the message id.
  int finishWithDefaults();

  // --- the edited view ---
  CViewNode* editedNode() const { return edited_; }
  CFiltersPage& filters() { return filters_; }
  CColumnsPage& columns() { return columns_; }
  CGeneralPage& general() { return general_; }
  // "View Name:" (modes 2 and above): the names of every view, the edited one's index.
  std::vector<std::string> viewNames(int* editedIndex) const;
  // Switches to another view: pages store into the settings; when something changed the user
  // is asked kSaveSettingsQuestion and Yes saves. False when the node is no view.
  bool switchTo(CViewNode* node, const std::function<bool(const std::string&)>& askYesNo);

  // OK/Apply: the Filters check (its message id, and nothing saved), then every page stores and
  // the settings are saved: 0 or 101/102 (see saveViewSettings), kSaveFailed, or the message id.
  int apply();
  // The strongest save result while the sheet was open (101 redisplay, 102 search again), so the
  // caller knows what the list needs; 0 when nothing was saved.
  int savedResult() const { return savedResult_; }
  // Outside the wizards a printer column moved in asks for a refresh.
  bool wantsRefresh() const;
  // Ends the sheet: the view manager's settings are the open view's again.
  void close();

 private:
  void loadPages();

  CViewManager& views_;
  int mode_;
  CViewNode* edited_ = nullptr;
  CViewNode* newViewParent_ = nullptr;
  CNewViewPage newView_;
  CFiltersPage filters_;
  CColumnsPage columns_;
  CGeneralPage general_;
  int savedResult_ = 0;
  bool printerAdded_ = false;
  bool closed_ = false;
};

// "Specify a Device": the search-list entry of a TCP/IP view.
enum class DeviceEntryKind { Address, DirectedBroadcast, Subnet, Multicast, File };
struct DeviceEntryOption {
  DeviceEntryKind kind;
  const char* text;   // the option's label
  const char* label;  // the text field's label
};
const std::vector<DeviceEntryOption>& deviceEntryOptions();
// The field's default: "5" for multicast, the program's folder and "kdv_addr.txt" for a file.
std::string deviceEntryDefault(DeviceEntryKind kind, const std::string& programDirectory);
struct DeviceEntry {
  int code = 0;       // 0, or 5003 "The IP address is invalid." (class 1)
  std::string entry;  // the search-list entry
};
DeviceEntry buildDeviceEntry(DeviceEntryKind kind, const std::string& text);

// "Select a View": the note and buttons for the selected node.
struct SelectViewState {
  std::string note;  // empty when the node can be deleted
  bool deleteEnabled = false;
  bool renameEnabled = false;
};
SelectViewState selectViewState(const CViewManager& views, const CViewNode* node);
// Rename the view "Lab" to:
std::string renamePrompt(const CViewNode& node);

// "Create a New Folder": the even images 0 to 14.
std::vector<int> folderIconChoices();

}  // namespace app
