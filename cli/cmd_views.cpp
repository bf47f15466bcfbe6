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

// Every view and group name, one per line (the shell completion reads them).
void printNames(std::ostream& out, const app::CViewNode& n) {
  if (!n.isRoot()) out << n.name() << "\n";
  if (n.isGroup())
    for (const auto* c : n.sortedChildren()) printNames(out, *c);
}

int runTree(cli::Context& ctx, bool names) {
  Tree t(ctx);
  if (names) {
    printNames(*ctx.out, *t.views.root());
    return cli::kExitOk;
  }
  if (ctx.json) {
    nlohmann::json j{{"registry", t.reg.filePath()}, {"tree", nodeJson(*t.views.root(), t.views.openNode())}};
    j["openView"] = t.views.openNode() ? nlohmann::json(t.views.openNode()->name()) : nlohmann::json(nullptr);
    cli::writeJson(ctx, j);
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

int runShow(cli::Context& ctx, const std::string& name) {
  Tree t(ctx);
  app::CViewNode* node = t.views.find(name);
  if (!node || !node->isView()) return cli::failure(ctx, "views show", "no view named \"" + name + "\"");
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
    cli::writeJson(ctx, j);
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

struct CreateOptions {
  std::string name;
  std::string protocol;
  std::string folder;
  std::string columns;
  bool local = false;
  std::vector<std::string> entries;
};

int runCreate(cli::Context& ctx, const CreateOptions& o) {
  const std::string cmd = "views create";
  const int type = protocolType(o.protocol);
  const bool hasFolder = !o.folder.empty();
  const std::string& folder = o.folder;
  const bool hasColumns = !o.columns.empty();
  const std::string& columnText = o.columns;
  const bool local = o.local;
  const std::vector<std::string>& entries = o.entries;
  for (const auto& e : entries)
    if (e.empty()) return cli::usageError(ctx, cmd, "--entry needs a value");
  const std::string& name = o.name;

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

// Two names: rename NAME NEW-NAME, move NAME GROUP.
struct TwoNames {
  std::string first, second;
};

int runRename(cli::Context& ctx, const TwoNames& args) {
  const std::vector<std::string> names{args.first, args.second};
  Tree t(ctx);
  app::CViewNode* node = t.views.find(names[0]);
  if (!node || node->isRoot()) return cli::failure(ctx, "views rename", "no view or group named \"" + names[0] + "\"");
  const std::string kind = node->isView() ? "view" : "group";
  const std::string old = node->name();
  if (const int code = t.views.renameNode(node, names[1]); code != app::kViewOk)
    return cli::failure(ctx, "views rename", app::viewResultText(code));
  *ctx.out << "Renamed the " << kind << " \"" << old << "\" to \"" << node->name() << "\".\n";
  return cli::kExitOk;
}

int runMove(cli::Context& ctx, const TwoNames& args) {
  const std::vector<std::string> names{args.first, args.second};
  Tree t(ctx);
  app::CViewNode* node = t.views.find(names[0]);
  app::CViewNode* target = t.views.find(names[1]);
  if (!node || node->isRoot()) return cli::failure(ctx, "views move", "no view or group named \"" + names[0] + "\"");
  if (!target) return cli::failure(ctx, "views move", "no group named \"" + names[1] + "\"");
  if (const int code = t.views.moveNode(node, target); code != app::kViewOk)
    return cli::failure(ctx, "views move", app::viewResultText(code));
  *ctx.out << "The " << kindWord(*node) << " \"" << node->name() << "\" is in the group \"" << node->parent()->name()
           << "\".\n";
  return cli::kExitOk;
}

int runDelete(cli::Context& ctx, const std::string& target) {
  const std::vector<std::string> names{target};
  Tree t(ctx);
  app::CViewNode* node = t.views.find(names[0]);
  if (!node) return cli::failure(ctx, "views delete", "no view or group named \"" + names[0] + "\"");
  if (const int code = t.views.deleteCheck(node); code != app::kViewOk)
    return cli::failure(ctx, "views delete", app::viewResultText(code));
  const std::string kind = kindWord(*node), name = node->name();
  if (const int code = t.views.deleteNode(node); code != app::kViewOk)
    return cli::failure(ctx, "views delete", app::viewResultText(code));
  *ctx.out << "Deleted the " << kind << " \"" << name << "\".\n";
  return cli::kExitOk;
}

// A positional NAME bound to a string the runner reads.
std::shared_ptr<std::string> declareName(CLI::App& app, const char* help) {
  auto name = std::make_shared<std::string>();
  cli::completeAs(app.add_option("NAME", *name, help)->required(), cli::Completion::View);
  return name;
}

std::shared_ptr<TwoNames> declareTwoNames(CLI::App& app, const char* second, const char* help) {
  auto names = std::make_shared<TwoNames>();
  cli::completeAs(app.add_option("NAME", names->first, "the view or group")->required(), cli::Completion::View);
  cli::completeAs(app.add_option(second, names->second, help)->required(), cli::Completion::View);
  return names;
}

const cli::CommandRegistration kViews({
    "views",
    "list the view tree",
    "Prints the tree of groups and views in the settings file, groups first and each level by\n"
    "name, marking the view the program opens at start-up.\n\n"
    "Exit status: 0 printed, 2 usage error.",
    [](CLI::App& app) {
      auto names = std::make_shared<bool>(false);
      app.add_flag("--names", *names, "print every view and group name, one per line");
      return [names](cli::Context& ctx) { return runTree(ctx, *names); };
    },
});

const cli::CommandRegistration kViewsShow({
    "views show",
    "print the settings of one view",
    "Prints a view's protocol, group, columns and widths, sort, display filter, search flags,\n"
    "search list and refresh interval, as stored. Names are compared without case.\n\n"
    "Exit status: 0 printed, 1 no such view, 2 usage error.",
    [](CLI::App& app) {
      auto name = declareName(app, "the view");
      return [name](cli::Context& ctx) { return runShow(ctx, *name); };
    },
});

const cli::CommandRegistration kViewsCreate({
    "views create",
    "create a view",
    "Creates a view with the default settings of its protocol, as the program's New View does\n"
    "with Finish: without --folder it goes into the protocol's group (\"TCP/IP\", \"NetWare\",\n"
    "\"Serial\", \"IPX\"), which is made when missing. --entry (repeatable) sets the search list\n"
    "and turns list search on; the local search then stays on only with --local. TCP/IP entries\n"
    "are an address, a.b.c.255<DB>, a.b.c.*, Multicast<hops> or File<path>. --columns takes\n"
    "catalogue titles (at most 29, each once, offered for the protocol); the first is the sort.\n\n"
    "Exit status: 0 created, 1 refused (the message says why), 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<CreateOptions>();
      app.add_option("NAME", o->name, "the new view's name")->required();
      cli::addChoice(app, "--protocol", o->protocol, {"tcpip", "netware", "serial", "ipx"}, "the view's protocol")
          ->required();
      cli::completeAs(app.add_option("--folder", o->folder, "the group the view goes into")->type_name("GROUP"),
                      cli::Completion::View);
      app.add_flag("--local", o->local, "keep the local search on beside the entries");
      app.add_option("--entry", o->entries, "a search-list entry (repeatable)")->allow_extra_args(false);
      app.add_option("--columns", o->columns, "catalogue column titles, separated by commas")->type_name("T1,T2");
      return [o](cli::Context& ctx) { return runCreate(ctx, *o); };
    },
});

const cli::CommandRegistration kViewsRename({
    "views rename",
    "rename a view or group",
    "Renames a view or group; a group takes its whole subtree along. Names are unique across the\n"
    "tree (case ignored) and may not contain \"\\\".\n\n"
    "Exit status: 0 renamed or unchanged, 1 refused, 2 usage error.",
    [](CLI::App& app) {
      auto names = std::make_shared<TwoNames>();
      cli::completeAs(app.add_option("NAME", names->first, "the view or group")->required(), cli::Completion::View);
      app.add_option("NEW-NAME", names->second, "its new name")->required();
      return [names](cli::Context& ctx) { return runRename(ctx, *names); };
    },
});

const cli::CommandRegistration kViewsMove({
    "views move",
    "move a view or group into another group",
    "Moves a view or group (with its subtree) into GROUP; \"Views\" is the top level. A move into\n"
    "its current group changes nothing.\n\n"
    "Exit status: 0 moved, 1 refused, 2 usage error.",
    [](CLI::App& app) {
      auto names = declareTwoNames(app, "GROUP", "the group it goes into");
      return [names](cli::Context& ctx) { return runMove(ctx, *names); };
    },
});

const cli::CommandRegistration kViewsDelete({
    "views delete",
    "delete a view or an empty group",
    "Deletes a view or an empty group with its settings. The view the program opens at start-up\n"
    "and the last view cannot be deleted.\n\n"
    "Exit status: 0 deleted, 1 refused, 2 usage error.",
    [](CLI::App& app) {
      auto name = declareName(app, "the view or group");
      return [name](cli::Context& ctx) { return runDelete(ctx, *name); };
    },
});

}  // namespace
