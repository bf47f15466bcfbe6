// trellanctl views edit: the view editor's pages from the command line. The values go through
// the same page models and the same save as the program's editor, so an edit made here writes
// exactly what the same edit in the program writes.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "app/view_def.h"
#include "app/view_editor.h"
#include "app/view_entry.h"
#include "app/view_manager.h"
#include "cli/command.h"
#include "platform/registry.h"
#include "platform/string_table.h"

namespace {

struct QuietTreeUi final : app::ViewTreeUi {
  app::CViewNode* createFirstView(app::CViewManager&) override { return nullptr; }
  bool askYesNo(const std::string&) override { return false; }
};

struct EditOptions {
  std::string name;
  std::string filter;
  bool noFilter = false;
  std::string columns;
  std::string sort;
  bool autoWidths = false;
  bool fixedWidths = false;
  int refresh = -1;
  bool local = false, noLocal = false;
  bool list = false, noList = false;
  std::vector<std::string> entries;
  bool clearEntries = false;
  int icon = -1;
  std::string folder;
};

std::string message(int code) {
  if (const char* t = platform::loadString(static_cast<std::uint32_t>(code))) return t;
  return app::viewResultText(code);
}

int runEdit(cli::Context& ctx, const EditOptions& o) {
  const std::string cmd = "views edit";
  if (!o.filter.empty() && o.noFilter) return cli::usageError(ctx, cmd, "--filter and --no-filter exclude each other");
  if (o.autoWidths && o.fixedWidths) return cli::usageError(ctx, cmd, "--auto-widths and --fixed-widths exclude each other");
  if ((o.local && o.noLocal) || (o.list && o.noList))
    return cli::usageError(ctx, cmd, "a search flag and its --no- form exclude each other");
  if (!o.entries.empty() && o.clearEntries) return cli::usageError(ctx, cmd, "--entry and --no-entries exclude each other");

  platform::Registry reg(platform::Registry::defaultPath(),
                         [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; });
  app::IdleViewDiscoveryFactory factory;
  app::CViewManager views(reg, factory);
  QuietTreeUi ui;
  views.start(ui, app::kProbeTcpIp | app::kProbeNetWare | app::kProbeSerial);
  app::CViewNode* node = views.find(o.name);
  if (!node || !node->isView()) return cli::failure(ctx, cmd, "no view named \"" + o.name + "\"");

  app::CCustomizeViewPropSheet sheet(views, app::kEditorGeneral, node);
  app::CFiltersPage& filters = sheet.filters();
  app::CColumnsPage& columns = sheet.columns();
  app::CGeneralPage& general = sheet.general();

  // "Filters"
  if (o.local) filters.localSearch = true;
  if (o.noLocal) {
    if (filters.localLocked()) return cli::failure(ctx, cmd, "the view \"" + node->name() + "\" always searches the local network");
    filters.localSearch = false;
  }
  if (o.list) filters.listSearch = true;
  if (o.noList) filters.listSearch = false;
  if (!o.entries.empty() || o.clearEntries) {
    for (const auto& e : o.entries) {
      if (e.empty()) return cli::usageError(ctx, cmd, "--entry needs a value");
      if (node->type() == app::kNodeTcpIpView && !app::validTcpIpEntry(e))
        return cli::usageError(ctx, cmd, "\"" + e + "\": The IP address is invalid.");
    }
    while (!filters.entries().empty()) filters.deleteEntry(0);
    for (const auto& e : o.entries) filters.addEntry(e);
  }
  if (o.noFilter) filters.setFilterColumn(devices::kNoColumn);
  if (!o.filter.empty()) {
    if (!filters.filterEnabled()) return cli::failure(ctx, cmd, "the view \"" + node->name() + "\" has no display filter");
    const auto eq = o.filter.find('=');
    const std::string title = o.filter.substr(0, eq);
    const int column = devices::columnIndex(title);
    const auto offered = filters.filterColumns();
    if (column == devices::kNoColumn || std::find(offered.begin(), offered.end(), column) == offered.end())
      return cli::usageError(ctx, cmd, "\"" + title + "\" is not a filter column of " +
                                           app::viewProtocolName(node->type()) + " views");
    filters.setFilterColumn(column);
    const std::string value = eq == std::string::npos ? std::string("*") : o.filter.substr(eq + 1);
    if (filters.valueKind() == devices::FilterValueKind::FreeText) {
      if (value.empty()) return cli::usageError(ctx, cmd, "--filter: the value may not be empty");
      filters.setValueText(value);
    } else if (!filters.setTypedValues(app::splitList(value))) {
      std::string allowed;
      for (const auto& c : filters.valueChoices()) allowed += (allowed.empty() ? "" : ", ") + c;
      return cli::usageError(ctx, cmd, "--filter: \"" + value + "\" is not a list of values of \"" + title + "\"" +
                                           (allowed.empty() ? "" : " (" + allowed + ")"));
    }
  }
  if (const int code = filters.leaveCheck(); code != 0) return cli::failure(ctx, cmd, message(code));

  // "Columns"
  if (!o.columns.empty()) {
    const app::ColumnListCheck check = app::checkColumnTitles(app::splitList(o.columns));
    if (check.error != app::ColumnListError::None) return cli::usageError(ctx, cmd, app::describe(check));
    if (columns.setDisplayed(check.columns) != 0)
      return cli::usageError(ctx, cmd, std::string("a column is not offered for ") + app::viewProtocolName(node->type()) +
                                           " views");
  }
  if (!o.sort.empty() && !columns.setSortColumn(devices::columnIndex(o.sort)))
    return cli::usageError(ctx, cmd, "--sort: \"" + o.sort + "\" is not a displayed column");
  if (o.autoWidths) columns.autoWidths = true;
  if (o.fixedWidths) columns.autoWidths = false;

  // "General"
  if (o.icon >= 0) general.icons = o.icon;
  if (!o.folder.empty()) {
    app::CViewNode* folder = views.find(o.folder);
    if (!folder || !folder->isGroup()) return cli::failure(ctx, cmd, "no group named \"" + o.folder + "\"");
    general.parent = folder;
  }
  if (o.refresh >= 0) {
    general.refreshOn = o.refresh > 0;
    general.setMinutes(o.refresh);
  }

  const int r = sheet.apply();
  if (r == app::kSaveFailed) return cli::failure(ctx, cmd, app::viewResultText(app::kViewRegistryError));
  if (r > 0 && r != app::kSaveColumnsOnly && r != app::kSaveNeedsSearch) return cli::failure(ctx, cmd, message(r));
  *ctx.out << (r == app::kSaveNothing ? "Nothing changed in" : "Saved") << " the view \"" << node->name() << "\".\n";
  return cli::kExitOk;
}

const cli::CommandRegistration kViewsEdit({
    "views edit",
    "change a view's settings as the view editor does",
    "Changes a view with the rules of the program's view editor and writes only what changed.\n"
    "Filters: --local/--no-local and --list/--no-list (the search flags; at least one, and list\n"
    "search needs entries), --entry (repeatable, replaces the search list) or --no-entries,\n"
    "--filter 'TITLE=VALUE' (a pattern for text columns, values separated by commas for the\n"
    "others) or --no-filter. Columns: --columns T1,T2 (displayed in order), --sort TITLE (a\n"
    "displayed column), --auto-widths/--fixed-widths. General: --icon 16-23, --folder GROUP,\n"
    "--refresh MINUTES (0 off).\n\n"
    "Exit status: 0 saved or unchanged, 1 refused (the message says why), 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<EditOptions>();
      cli::completeAs(app.add_option("NAME", o->name, "the view")->required(), cli::Completion::View);
      app.add_option("--filter", o->filter, "display filter TITLE=VALUE")->type_name("TITLE=VALUE");
      app.add_flag("--no-filter", o->noFilter, "no display filter");
      app.add_option("--columns", o->columns, "displayed column titles, separated by commas")->type_name("T1,T2");
      app.add_option("--sort", o->sort, "the sort column")->type_name("TITLE");
      app.add_flag("--auto-widths", o->autoWidths, "column widths follow the data");
      app.add_flag("--fixed-widths", o->fixedWidths, "column widths stay as sized");
      app.add_option("--refresh", o->refresh, "automatic refresh in minutes, 0 off")
          ->check(CLI::Range(0, 35791394))
          ->type_name("MINUTES");
      app.add_flag("--local", o->local, "search the local network");
      app.add_flag("--no-local", o->noLocal, "do not search the local network");
      app.add_flag("--list", o->list, "search the entries of the search list");
      app.add_flag("--no-list", o->noList, "do not search the search list");
      app.add_option("--entry", o->entries, "a search-list entry (repeatable)")->allow_extra_args(false);
      app.add_flag("--no-entries", o->clearEntries, "empty the search list");
      app.add_option("--icon", o->icon, "view tree icon")->check(CLI::Range(16, 23))->type_name("16-23");
      cli::completeAs(app.add_option("--folder", o->folder, "the group the view moves into")->type_name("GROUP"),
                      cli::Completion::View);
      return [o](cli::Context& ctx) { return runEdit(ctx, *o); };
    },
});

}  // namespace
