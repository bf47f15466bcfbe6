#include "app/command_table.h"

#include <array>
#include <cstdio>

namespace app {

namespace {

using F = Feature;
using M = MenuKind;

// Keep sorted by nothing in particular: lookups are linear over some fifty rows.
constexpr CommandInfo kCommands[] = {
    // id                          text                             accel     tool  tip      feature             home
    {cmd::kSaveList,              "Save &List to File...",         nullptr,  -1, nullptr, F::ListExport,        M::File},
    {cmd::kSaveIpAddresses,       "Save IP &Addresses...",         nullptr,  -1, nullptr, F::ListExport,        M::File},
    {cmd::kExit,                  "E&xit",                         nullptr,  -1, nullptr, F::Shell,             M::File},

    {cmd::kConfiguration,         "&Configuration",                "Alt+C",   2, nullptr, F::Configuration,     M::Server},
    {cmd::kStatus,                "&Status",                       "Alt+S",   3, nullptr, F::Status,            M::Server},
    {cmd::kWhatsWrong,            "&What's Wrong",                 "Alt+W",   4, nullptr, F::DeviceQuery,       M::Server},
    {cmd::kPrintConfigSheet,      "&Print Configuration Sheet",    nullptr,  -1, nullptr, F::DeviceQuery,       M::Server},
    {cmd::kReset,                 "&Reset",                        "Alt+R",   6, nullptr, F::Reset,             M::Server},
    {cmd::kWizard,                "Configuration Wi&zard",         "Alt+Z",   5, nullptr, F::Wizard,            M::Server},
    {cmd::kMultipleConfiguration, "&Multiple Configuration",       nullptr,  -1, nullptr, F::MultiUnit,         M::Server},
    {cmd::kSaveConfiguration,     "S&ave Configuration",           nullptr,  -1, nullptr, F::ConfigBackup,      M::Server},
    {cmd::kRestoreConfiguration,  "R&estore Configuration",        nullptr,  -1, nullptr, F::ConfigBackup,      M::Server},

    {cmd::kCreateView,            "&Create New View",              nullptr,  -1, nullptr, F::ViewEditor,        M::View},
    {cmd::kModifyView,            "&Modify Current View",          nullptr,  -1, nullptr, F::ViewEditor,        M::View},
    {cmd::kSelectViews,           "&Select/Delete Views",          nullptr,  -1, nullptr, F::ViewEditor,        M::View},
    {cmd::kRefresh,               "&Refresh List",                 "F5",      0, nullptr, F::Shell,             M::View},
    {cmd::kStop,                  "St&op",                         "Esc",     1, nullptr, F::Shell,             M::View},
    {cmd::kToolBar,               "&Tools",                        nullptr,  -1, nullptr, F::Shell,             M::View},
    {cmd::kViewSelectBar,         "&View Select",                  nullptr,  -1, nullptr, F::Shell,             M::View},
    {cmd::kStatusBar,             "&Status",                       nullptr,  -1, nullptr, F::Shell,             M::View},
    {cmd::kShowViewTree,          "Show View &Tree",               nullptr,  -1, nullptr, F::Shell,             M::View},
    {cmd::kViewByPrinter,         "View by &Printer",              nullptr,   7, nullptr, F::Shell,             M::View},
    {cmd::kMultiSelectMode,       "M&ulti-Select Mode",            nullptr,   8, nullptr, F::Shell,             M::View},
    {cmd::kLargeIcons,            "Lar&ge Icons",                  nullptr,  -1, nullptr, F::Shell,             M::View},
    {cmd::kSmallIcons,            "Small &Icons",                  nullptr,  -1, nullptr, F::Shell,             M::View},
    {cmd::kListStyle,             "&List",                         nullptr,  -1, nullptr, F::Shell,             M::View},
    {cmd::kDetails,               "&Details",                      nullptr,  -1, nullptr, F::Shell,             M::View},

    {cmd::kSearch,                "&Search",                       nullptr,  -1, nullptr, F::FindOrAdd,         M::Tools},
    {cmd::kUnlistedIpServer,      "Setup &Unlisted IP Server",     nullptr,  -1, nullptr, F::AddressAssignment, M::Tools},
    {cmd::kMapNetworkDrive,       "&Map Network Drive",            nullptr,  -1, texts::kMapDriveTip, F::NetworkDrive, M::Tools},
    {cmd::kNetworkInformation,    "&Network Information",          nullptr,  -1, nullptr, F::NetworkTools,      M::Tools},
    {cmd::kTelnet,                "&Telnet Session",               nullptr,  -1, nullptr, F::NetworkTools,      M::Tools},
    {cmd::kHttp,                  "&HTTP Session",                 nullptr,  -1, nullptr, F::Shell,             M::Tools},
    {cmd::kVigilo,                "&Vigilo 32",                    nullptr,  -1, nullptr, F::Shell,             M::Tools},
    {cmd::kOptions,               "&Options",                      nullptr,  -1, nullptr, F::Options,           M::Tools},

    {cmd::kHelpContents,          "&Contents",                     "F1",      9, nullptr, F::Shell,             M::Help},
    {cmd::kRegistration,          "Online Product &Registration",  nullptr,  -1, nullptr, F::Shell,             M::Help},
    {cmd::kEmailSupport,          "E-Mail Support",                nullptr,  -1, nullptr, F::Shell,             M::Help},
    {cmd::kAbout,                 "&About Trellan",                nullptr,  -1, nullptr, F::Shell,             M::Help},

    {cmd::kTreeOpen,              "&Open",                         nullptr,  -1, nullptr, F::ViewTree,          M::TreePopup},
    {cmd::kTreeOpenRefresh,       "Open and Re&fresh",             nullptr,  -1, nullptr, F::ViewTree,          M::TreePopup},
    {cmd::kTreeOpenNewWindow,     "Open in New &Window",           nullptr,  -1, nullptr, F::ViewTree,          M::TreePopup},
    {cmd::kTreeModify,            "&Modify",                       nullptr,  -1, nullptr, F::ViewEditor,        M::TreePopup},
    {cmd::kTreeRename,            "&Rename",                       nullptr,  -1, nullptr, F::ViewTree,          M::TreePopup},
    {cmd::kTreeDelete,            "&Delete",                       nullptr,  -1, nullptr, F::ViewTree,          M::TreePopup},
    {cmd::kTreeNewView,           "&View",                         nullptr,  -1, nullptr, F::ViewEditor,        M::TreePopup},
    {cmd::kTreeNewFolder,         "&Folder",                       nullptr,  -1, nullptr, F::ViewTree,          M::TreePopup},

    {cmd::kSelectAll,             "Select &All",                   nullptr,  -1, nullptr, F::Shell,             M::MultiSelectPopup},
    {cmd::kSelectNone,            "Select &None",                  nullptr,  -1, nullptr, F::Shell,             M::MultiSelectPopup},
};

using I = MenuItem;
constexpr I cmdItem(cmd::CommandId id, std::uint8_t depth = 0, const char* text = nullptr) {
  return {I::Command, depth, id, text};
}
constexpr I separator(std::uint8_t depth = 0) { return {I::Separator, depth, 0, nullptr}; }
constexpr I submenu(const char* title, std::uint8_t depth = 0) { return {I::Submenu, depth, 0, title}; }

constexpr I kFileMenu[] = {
    cmdItem(cmd::kSaveList), cmdItem(cmd::kSaveIpAddresses), separator(), cmdItem(cmd::kExit),
};

constexpr I kServerMenu[] = {
    cmdItem(cmd::kConfiguration),     cmdItem(cmd::kStatus),      cmdItem(cmd::kWhatsWrong),
    cmdItem(cmd::kPrintConfigSheet),  cmdItem(cmd::kReset),       separator(),
    cmdItem(cmd::kWizard),            cmdItem(cmd::kMultipleConfiguration), separator(),
    cmdItem(cmd::kSaveConfiguration), cmdItem(cmd::kRestoreConfiguration),
};

constexpr I kViewMenu[] = {
    cmdItem(cmd::kCreateView),    cmdItem(cmd::kModifyView),   cmdItem(cmd::kSelectViews), separator(),
    cmdItem(cmd::kRefresh),       cmdItem(cmd::kStop),         separator(),
    submenu("&Bars"),             cmdItem(cmd::kToolBar, 1),   cmdItem(cmd::kViewSelectBar, 1),
    cmdItem(cmd::kStatusBar, 1),  cmdItem(cmd::kShowViewTree), separator(),
    cmdItem(cmd::kViewByPrinter), cmdItem(cmd::kMultiSelectMode), separator(),
    cmdItem(cmd::kLargeIcons),    cmdItem(cmd::kSmallIcons),   cmdItem(cmd::kListStyle),   cmdItem(cmd::kDetails),
};

constexpr I kToolsMenu[] = {
    cmdItem(cmd::kSearch),             cmdItem(cmd::kUnlistedIpServer), cmdItem(cmd::kMapNetworkDrive),
    separator(),                       cmdItem(cmd::kTelnet),           cmdItem(cmd::kHttp),
    cmdItem(cmd::kNetworkInformation), separator(),                     cmdItem(cmd::kVigilo),
    separator(),                       cmdItem(cmd::kOptions),
};

constexpr I kHelpMenu[] = {
    cmdItem(cmd::kHelpContents), separator(), cmdItem(cmd::kRegistration), cmdItem(cmd::kEmailSupport),
    separator(), cmdItem(cmd::kAbout),
};

constexpr I kTreePopup[] = {
    cmdItem(cmd::kTreeOpen),   cmdItem(cmd::kTreeOpenRefresh), cmdItem(cmd::kTreeOpenNewWindow), separator(),
    submenu("&New"),           cmdItem(cmd::kTreeNewView, 1),  cmdItem(cmd::kTreeNewFolder, 1),
    cmdItem(cmd::kTreeModify), cmdItem(cmd::kTreeRename),      cmdItem(cmd::kTreeDelete),
};

constexpr I kServerPopup[] = {
    cmdItem(cmd::kConfiguration),     cmdItem(cmd::kStatus),     cmdItem(cmd::kWhatsWrong),
    cmdItem(cmd::kPrintConfigSheet),  cmdItem(cmd::kReset),      separator(),
    cmdItem(cmd::kWizard),            separator(),
    cmdItem(cmd::kSaveConfiguration), cmdItem(cmd::kRestoreConfiguration), separator(),
    cmdItem(cmd::kTelnet),            cmdItem(cmd::kHttp),
};

constexpr I kMultiSelectPopup[] = {
    cmdItem(cmd::kMultipleConfiguration, 0, "Configure Selected Devices"),
    separator(),
    cmdItem(cmd::kSelectAll),
    cmdItem(cmd::kSelectNone),
    separator(),
    cmdItem(cmd::kReset, 0, "Reset Selected Devices"),
    separator(),
    cmdItem(cmd::kMultiSelectMode, 0, "Return to &Standard Mode"),
};

constexpr TopMenu kMenuBar[] = {
    {M::File, "&File"}, {M::Server, "&Server"}, {M::View, "&View"}, {M::Tools, "&Tools"}, {M::Help, "&Help"},
};

constexpr bool idsUnique() {
  for (std::size_t i = 0; i < std::size(kCommands); ++i)
    for (std::size_t j = i + 1; j < std::size(kCommands); ++j)
      if (kCommands[i].id == kCommands[j].id) return false;
  return true;
}
static_assert(idsUnique(), "a command number appears twice");

}  // namespace

bool featureInBuild(Feature feature) noexcept {
  switch (feature) {
    case F::Shell:
    case F::ViewTree:
    case F::DeviceQuery:
    case F::FindOrAdd:
    case F::NetworkTools:
    case F::Configuration:
    case F::Status:
    case F::ConfigBackup:
    case F::Reset:
    case F::AddressAssignment:
    case F::ListExport:
    case F::ViewEditor:
    case F::Options:
    case F::Wizard:
    case F::MultiUnit:
      return true;
    // Later issues switch these on together with their handlers.
    case F::NetworkDrive:
      return false;
  }
  return false;
}

std::span<const CommandInfo> commandTable() noexcept { return kCommands; }

const CommandInfo* findCommand(cmd::CommandId id) noexcept {
  for (const CommandInfo& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

std::span<const TopMenu> mainMenuBar() noexcept { return kMenuBar; }

std::span<const MenuItem> menuLayout(MenuKind menu) noexcept {
  switch (menu) {
    case M::File: return kFileMenu;
    case M::Server: return kServerMenu;
    case M::View: return kViewMenu;
    case M::Tools: return kToolsMenu;
    case M::Help: return kHelpMenu;
    case M::TreePopup: return kTreePopup;
    case M::ServerPopup: return kServerPopup;
    case M::MultiSelectPopup: return kMultiSelectPopup;
    case M::None: break;
  }
  return {};
}

const char* menuItemText(const MenuItem& item) noexcept {
  if (item.text) return item.text;
  if (item.kind != MenuItem::Command) return "";
  const CommandInfo* c = findCommand(item.id);
  return c ? c->text : "";
}

std::optional<MenuPlace> findMenuPlace(cmd::CommandId id) noexcept {
  constexpr MenuKind kOrder[] = {M::File, M::Server, M::View, M::Tools, M::Help,
                                 M::TreePopup, M::ServerPopup, M::MultiSelectPopup};
  for (MenuKind m : kOrder) {
    std::span<const MenuItem> items = menuLayout(m);
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i].kind == MenuItem::Command && items[i].id == id) return MenuPlace{m, i};
  }
  return std::nullopt;
}

std::string plainMenuText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += text[i];
  }
  while (!out.empty() && out.back() == '.') out.pop_back();
  return out;
}

std::string notAvailableMessage(cmd::CommandId id) {
  std::string name;
  if (const CommandInfo* c = findCommand(id)) {
    name = plainMenuText(c->text);
  } else {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Command %u", static_cast<unsigned>(id));
    name = buf;
  }
  return name + ": " + texts::kNotAvailable + ".";
}

}  // namespace app
