// trellanctl views: the view tree of the settings store, read and changed with the rules and
// messages of the program's own dialogs, so that views made here open in the program and the
// other way round.
#include <iostream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "app/settings.h"
#include "app/view_entry.h"
#include "app/view_manager.h"
#include "cli/command.h"
#include "platform/registry.h"

namespace {

// Start-up without a user: no first view is made here, and nothing is asked.
struct QuietTreeUi final : app::ViewTreeUi {
  app::CViewNode* createFirstView(app::CViewManager&) override { return nullptr; }
  bool askYesNo(const std::string&) override { return false; }
};

// The store and the tree as the program would find them at start-up.
struct Tree {
  explicit Tree(cli::Context& ctx)
      : reg(platform::Registry::defaultPath(), [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; }),
        views(reg, factory) {
    views.start(ui, app::kProbeTcpIp | app::kProbeNetWare | app::kProbeSerial);
  }
  platform::Registry reg;
  app::IdleViewDiscoveryFactory factory;
  QuietTreeUi ui;
  app::CViewManager views;
};

const char* kindWord(const app::CViewNode& n) {
  if (n.isRoot()) return "root";
  if (n.isView()) return "view";
  return "group";
}

nlohmann::json nodeJson(const app::CViewNode& n, const app::CViewNode* open) {
  nlohmann::json j{{"name", n.name()}, {"kind", kindWord(n)}, {"type", n.type()}, {"icons", n.icons()}};
  if (n.isView()) {
    j["protocol"] = app::viewProtocolName(n.type());
    j["open"] = &n == open;
  } else {
    nlohmann::json children = nlohmann::json::array();
    for (const auto* c : n.sortedChildren()) children.push_back(nodeJson(*c, open));
    j["children"] = std::move(children);
  }
  return j;
}

void printNode(std::ostream& out, const app::CViewNode& n, const app::CViewNode* open, int depth) {
  out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << n.name();
  if (n.isView()) out << "  [" << app::viewProtocolName(n.type()) << " view]" << (&n == open ? "  (open)" : "");
  else if (!n.isRoot()) out << "  [group]";
  out << "\n";
  if (n.isGroup())
    for (const auto* c : n.sortedChildren()) printNode(out, *c, open, depth + 1);
}

int runTree(cli::Context& ctx) {
  for (const auto& a : ctx.args) return cli::usageError(ctx, "views", "unexpected argument '" + a + "'");
  Tree t(ctx);
  if (ctx.json) {
    nlohmann::json j{{"registry", t.reg.filePath()}, {"tree", nodeJson(*t.views.root(), t.views.openNode())}};
    j["openView"] = t.views.openNode() ? nlohmann::json(t.views.openNode()->name()) : nlohmann::json(nullptr);
    *ctx.out << j.dump(2) << "\n";
  } else {
    printNode(*ctx.out, *t.views.root(), t.views.openNode(), 0);
    if (t.views.viewCount() == 0) *ctx.out << "(no views yet: trellanctl views create NAME --protocol tcpip)\n";
  }
  return cli::kExitOk;
}

std::string titles(const std::vector<int>& columns) {
  std::string out;
  for (int c : columns) out += std::string(out.empty() ? "" : ",") + devices::columnTitle(c);
  return out;
}

int runShow(cli::Context& ctx) {
  if (ctx.args.size() != 1) return cli::usageError(ctx, "views show", "expected one view name");
  Tree t(ctx);
  app::CViewNode* node = t.views.find(ctx.args[0]);
  if (!node || !node->isView()) return cli::failure(ctx, "views show", "no view named \"" + ctx.args[0] + "\"");
  app::CViewDef def;
  def.load(t.reg, node->key());
  const std::string filter = devices::isColumnIndex(def.filterColumn()) ? devices::columnTitle(def.filterColumn()) : "";
  if (ctx.json) {
    nlohmann::json j{{"name", node->name()},
                     {"key", node->key()},
                     {"group", node->parent()->name()},
                     {"type", node->type()},
                     {"protocol", app::viewProtocolName(node->type())},
                     {"icons", node->icons()},
                     {"open", node == t.views.openNode()},
                     {"columns", nlohmann::json::array()},
                     {"autoWidths", def.autoWidths()},
                     {"sort", devices::columnTitle(def.sortColumn())},
                     {"descending", def.sortDescending()},
                     {"filter", filter.empty() ? nlohmann::json(nullptr) : nlohmann::json(filter)},
                     {"filterValues", def.filterValues()},
                     {"localSearch", def.localSearch()},
                     {"listSearch", def.listSearch()},
                     {"searchList", def.searchList()},
                     {"refresh", def.refresh()}};
    for (int c : def.columns()) {
      nlohmann::json col{{"title", devices::columnTitle(c)}};
      if (!def.autoWidths()) col["width"] = def.widths().width(c);
      j["columns"].push_back(std::move(col));
    }
    *ctx.out << j.dump(2) << "\n";
    return cli::kExitOk;
  }
  std::ostream& out = *ctx.out;
  out << "View:          " << node->name() << (node == t.views.openNode() ? "  (open)" : "") << "\n"
      << "Registry key:  " << node->key() << "\n"
      << "Group:         " << node->parent()->name() << "\n"
      << "Protocol:      " << app::viewProtocolName(node->type()) << " (type " << node->type() << ")\n"
      << "Icon:          " << node->icons() << "\n"
      << "Columns:       " << titles(def.columns()) << "\n"
      << "Widths:        " << def.colWidthsText() << "\n"
      << "Sort:          " << devices::columnTitle(def.sortColumn()) << (def.sortDescending() ? " (descending)" : "")
      << "\n"
      << "Filter:        " << (filter.empty() ? "none" : filter) << "\n";
  if (!filter.empty()) {
    out << "Filter values: ";
    for (std::size_t i = 0; i < def.filterValues().size(); ++i) out << (i ? ", " : "") << def.filterValues()[i];
    out << "\n";
  }
  out << "Local search:  " << (def.localSearch() ? "on" : "off") << "\n"
      << "List search:   " << (def.listSearch() ? "on" : "off") << "\n"
      << "Search list:   " << (def.searchList().empty() ? "empty" : "") << "\n";
  for (const auto& e : def.searchList()) out << "  " << e << "\n";
  out << "Refresh:       " << (def.refresh() ? std::to_string(def.refresh()) + " seconds" : "off") << "\n";
  return cli::kExitOk;
}

int protocolType(const std::string& p) {
  if (p == "tcpip") return app::kNodeTcpIpView;
  if (p == "netware") return app::kNodeNetWareView;
  if (p == "serial") return app::kNodeSerialView;
  if (p == "ipx") return app::kNodeIpxView;
  return 0;
}

int runCreate(cli::Context& ctx) {
  const std::string cmd = "views create";
  std::string protocol, folder, columnText, value;
  bool missing = false;
  if (!cli::takeOption(ctx.args, "protocol", protocol, missing) || missing)
    return cli::usageError(ctx, cmd, "--protocol tcpip|netware|serial|ipx is required");
  const int type = protocolType(protocol);
  if (!type) return cli::usageError(ctx, cmd, "unknown protocol '" + protocol + "'");
  const bool hasFolder = cli::takeOption(ctx.args, "folder", folder, missing);
  if (missing) return cli::usageError(ctx, cmd, "--folder needs a name");
  const bool hasColumns = cli::takeOption(ctx.args, "columns", columnText, missing);
  if (missing) return cli::usageError(ctx, cmd, "--columns needs a list of titles");
  const bool local = cli::takeFlag(ctx.args, "local");
  std::vector<std::string> entries;
  while (cli::takeOption(ctx.args, "entry", value, missing)) {
    if (missing || value.empty()) return cli::usageError(ctx, cmd, "--entry needs a value");
    entries.push_back(value);
  }
  if (ctx.args.size() != 1) return cli::usageError(ctx, cmd, "expected one view name");
  const std::string name = ctx.args[0];

  // Everything is checked before anything is written.
  std::vector<int> columns;
  if (hasColumns) {
    const app::ColumnListCheck check = app::checkColumnTitles(app::splitList(columnText));
    if (check.error != app::ColumnListError::None) return cli::failure(ctx, cmd, app::describe(check));
    const std::uint32_t offered = app::offeredColumnBits(type);
    for (int c : check.columns)
      if (type != app::kNodeIpxView && !(devices::kDeviceColumns[c].bit & offered))
        return cli::failure(ctx, cmd, std::string("column \"") + devices::columnTitle(c) + "\" is not offered for " +
                                          app::viewProtocolName(type) + " views");
    columns = check.columns;
  }
  for (const auto& e : entries) {
    if (e.find(',') != std::string::npos) return cli::failure(ctx, cmd, "an entry may not contain \",\"");
    if (type == app::kNodeTcpIpView && !app::validTcpIpEntry(e))
      return cli::failure(ctx, cmd, "\"" + e + "\": The IP address is invalid.");
  }

  Tree t(ctx);
  app::NodeResult made;
  if (hasFolder) {
    app::CViewNode* parent = t.views.find(folder);
    if (!parent || !parent->isGroup()) return cli::failure(ctx, cmd, "no group named \"" + folder + "\"");
    made = t.views.createView(parent, name, type);
    if (made.code == app::kViewOk) {
      app::CViewManager::applyDefaultSettings(t.views.viewDef(), type);
      t.views.viewDef().markAllChanged();
    }
  } else {
    made = t.views.createDefaultView(name, type);
  }
  if (made.code != app::kViewOk) return cli::failure(ctx, cmd, app::viewResultText(made.code));

  app::CViewDef& def = t.views.viewDef();
  if (!entries.empty()) {
    def.setSearchList(entries);
    def.setListSearch(true);
    def.setLocalSearch(local);
  } else if (local) {
    def.setLocalSearch(true);
  }
  if (!columns.empty()) {
    def.setColumns(columns);
    def.setSort(columns.front(), false);
  }
  if (t.views.saveViewSettings() == app::kSaveFailed)
    return cli::failure(ctx, cmd, app::viewResultText(app::kViewRegistryError));
  *ctx.out << "Created the view \"" << made.node->name() << "\" in \"" << made.node->parent()->name() << "\".\n";
  return cli::kExitOk;
}

int runRename(cli::Context& ctx) {
  if (ctx.args.size() != 2) return cli::usageError(ctx, "views rename", "expected the name and the new name");
  Tree t(ctx);
  app::CViewNode* node = t.views.find(ctx.args[0]);
  if (!node || node->isRoot()) return cli::failure(ctx, "views rename", "no view or group named \"" + ctx.args[0] + "\"");
  const std::string kind = node->isView() ? "view" : "group";
  const std::string old = node->name();
  if (const int code = t.views.renameNode(node, ctx.args[1]); code != app::kViewOk)
    return cli::failure(ctx, "views rename", app::viewResultText(code));
  *ctx.out << "Renamed the " << kind << " \"" << old << "\" to \"" << node->name() << "\".\n";
  return cli::kExitOk;
}

int runMove(cli::Context& ctx) {
  if (ctx.args.size() != 2) return cli::usageError(ctx, "views move", "expected the name and the target group");
  Tree t(ctx);
  app::CViewNode* node = t.views.find(ctx.args[0]);
  app::CViewNode* target = t.views.find(ctx.args[1]);
  if (!node || node->isRoot()) return cli::failure(ctx, "views move", "no view or group named \"" + ctx.args[0] + "\"");
  if (!target) return cli::failure(ctx, "views move", "no group named \"" + ctx.args[1] + "\"");
  if (const int code = t.views.moveNode(node, target); code != app::kViewOk)
    return cli::failure(ctx, "views move", app::viewResultText(code));
  *ctx.out << "The " << kindWord(*node) << " \"" << node->name() << "\" is in the group \"" << node->parent()->name()
           << "\".\n";
  return cli::kExitOk;
}

int runDelete(cli::Context& ctx) {
  if (ctx.args.size() != 1) return cli::usageError(ctx, "views delete", "expected one name");
  Tree t(ctx);
  app::CViewNode* node = t.views.find(ctx.args[0]);
  if (!node) return cli::failure(ctx, "views delete", "no view or group named \"" + ctx.args[0] + "\"");
  if (const int code = t.views.deleteCheck(node); code != app::kViewOk)
    return cli::failure(ctx, "views delete", app::viewResultText(code));
  const std::string kind = kindWord(*node), name = node->name();
  if (const int code = t.views.deleteNode(node); code != app::kViewOk)
    return cli::failure(ctx, "views delete", app::viewResultText(code));
  *ctx.out << "Deleted the " << kind << " \"" << name << "\".\n";
  return cli::kExitOk;
}

const cli::CommandRegistration kViews({
    "views",
    "list the view tree",
    "Usage: trellanctl [--json] views\n\n"
    "Prints the tree of groups and views in the settings store, groups first and each level by\n"
    "name, marking the view the program opens at start-up.\n\n"
    "Subcommands: views show NAME, views create, views rename, views move, views delete.\n"
    "Exit status: 0 printed, 2 usage error.\n",
    runTree,
});

const cli::CommandRegistration kViewsShow({
    "views show",
    "print the settings of one view",
    "Usage: trellanctl [--json] views show NAME\n\n"
    "Prints a view's protocol, group, columns and widths, sort, display filter, search flags,\n"
    "search list and refresh interval, as stored. Names are compared without case.\n\n"
    "Exit status: 0 printed, 1 no such view, 2 usage error.\n",
    runShow,
});

const cli::CommandRegistration kViewsCreate({
    "views create",
    "create a view",
    "Usage: trellanctl views create NAME --protocol tcpip|netware|serial|ipx [--folder GROUP]\n"
    "                               [--local] [--entry ENTRY]... [--columns TITLE1,TITLE2...]\n\n"
    "Creates a view with the default settings of its protocol, as the program's New View does\n"
    "with Finish: without --folder it goes into the protocol's group (\"TCP/IP\", \"NetWare\",\n"
    "\"Serial\", \"IPX\"), which is made when missing. --entry (repeatable) sets the search list\n"
    "and turns list search on; the local search then stays on only with --local. TCP/IP entries\n"
    "are an address, a.b.c.255<DB>, a.b.c.*, Multicast<hops> or File<path>. --columns takes\n"
    "catalogue titles (at most 29, each once, offered for the protocol); the first is the sort.\n\n"
    "Exit status: 0 created, 1 refused (the message says why), 2 usage error.\n",
    runCreate,
});

const cli::CommandRegistration kViewsRename({
    "views rename",
    "rename a view or group",
    "Usage: trellanctl views rename NAME NEW-NAME\n\n"
    "Renames a view or group; a group takes its whole subtree along. Names are unique across the\n"
    "tree (case ignored) and may not contain \"\\\".\n\n"
    "Exit status: 0 renamed or unchanged, 1 refused, 2 usage error.\n",
    runRename,
});

const cli::CommandRegistration kViewsMove({
    "views move",
    "move a view or group into another group",
    "Usage: trellanctl views move NAME GROUP\n\n"
    "Moves a view or group (with its subtree) into GROUP; \"Views\" is the top level. A move into\n"
    "its current group changes nothing.\n\n"
    "Exit status: 0 moved, 1 refused, 2 usage error.\n",
    runMove,
});

const cli::CommandRegistration kViewsDelete({
    "views delete",
    "delete a view or an empty group",
    "Usage: trellanctl views delete NAME\n\n"
    "Deletes a view or an empty group with its settings. The view the program opens at start-up\n"
    "and the last view cannot be deleted.\n\n"
    "Exit status: 0 deleted, 1 refused, 2 usage error.\n",
    runDelete,
});

}  // namespace
