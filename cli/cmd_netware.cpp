// trellanctl netware status / setup / show: the NetWare client as the program sees it, and the
// bindery setup of a print server (objects, rights, SYS:SYSTEM files, queue attachments) done
// and read back the way the NetWare page does it.
#include "cli/cmd_netware.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>
#include <utility>

#include "access/snmp_session.h"
#include "app/settings.h"
#include "cli/cmd_snmp_common.h"
#include "netware/bindery_name.h"
#include "netware/fnk_binding.h"
#include "netware/nw_config.h"
#include "netware/nw_volumes.h"
#include "platform/registry.h"

namespace cli::netware {

using ::netware::CNetWareConfig;

bool clientReady(std::string& why) {
  static std::uint32_t loaded = ::netware::FnkLoad();
  if (loaded == 1) return true;
  if (!::netware::fennick().loaded())
    why = "the NetWare adapter libfennick.so or a NetWare client library cannot be loaded (" +
          ::netware::fennick().loadError() + ")";
  else
    why = "the NetWare client did not start";
  return false;
}

namespace {

constexpr const char* kNotAvailable = "NetWare is not available: ";

struct SetupOptions {
  std::string address;
  std::string printServer;
  std::string server;
  std::string mode;  // empty: the unit's
  cli::snmpcmd::Options snmp;
  std::vector<std::string> queues;
  std::vector<std::string> printerNumbers;
  std::string password;
  bool passwordGiven = false;
  bool createQueues = false;
};

int toMode(const std::string& m) { return m == "rprinter" ? CNetWareConfig::kModeRPrinter : CNetWareConfig::kModePServer; }

// The group whose request failed, to name the unit's error status and the OID it named.
int reportGroupFailure(Context& ctx, const std::string& command, int rc, const CNetWareConfig& c) {
  const snmpaccess::CMibGroup* failed = nullptr;
  for (const snmpaccess::CMibGroup* g : {static_cast<const snmpaccess::CMibGroup*>(c.netWareGroup.get()),
                                         static_cast<const snmpaccess::CMibGroup*>(c.ndsGroup.get()),
                                         static_cast<const snmpaccess::CMibGroup*>(c.portGroup.get())})
    if (!failed && g && g->errorStatus() != 0) failed = g;
  if (!failed) return cli::snmpcmd::reportResult(ctx, command, rc, 0, 0);
  return cli::snmpcmd::reportResult(ctx, command, rc, failed->errorStatus(), failed->errorIndex(), failed->failedOid());
}

struct Session {
  cli::snmpcmd::Engine engine;
  snmpaccess::SnmpTarget target;
  std::unique_ptr<snmpaccess::CSnmpSession> session;
};

int checkName(Context& ctx, const std::string& command, const std::string& what, const std::string& name) {
  if (::netware::hasInvalidNameCharacters(name) || !::netware::fitsBinderyName(name))
    return usageError(ctx, command, what + " '" + name + "': " + ::netware::kTextInvalidNameCharacters +
                                        " or longer than 47 characters");
  return kExitOk;
}

// Fills the configuration as the NetWare page holds it after reading the print server: its own
// settings from the unit, then the options given on the command line over them, then the queue
// assignments from the binderies.
int prepare(Context& ctx, const std::string& command, const SetupOptions& o, CNetWareConfig& config, Session& s) {
  for (const auto& [what, name] : {std::pair{"--print-server", &o.printServer}, std::pair{"--server", &o.server}})
    if (!name->empty())
      if (const int rc = checkName(ctx, command, what, *name)) return rc;
  std::vector<std::pair<int, int>> numbers;
  for (const std::string& pn : o.printerNumbers) {
    const auto colon = pn.find(':');
    int port = 0, number = 0;
    try {
      port = std::stoi(pn.substr(0, colon));
      number = std::stoi(pn.substr(colon + 1));
    } catch (...) {
      port = 0;
    }
    if (colon == std::string::npos || port < 1 || port > 4 || number < 0 || number > 255)
      return usageError(ctx, command, "'" + pn + "' is not PORT:NUMBER (port 1-4, number 0-255; 255: none)");
    numbers.emplace_back(port - 1, number);
  }
  std::string why;
  if (!clientReady(why)) return failure(ctx, command, kNotAvailable + why);
  config.showMessage = [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; };

  if (!s.engine.started()) return failure(ctx, command, "the SNMP engine could not be started");
  int exit = kExitOk;
  if (!cli::snmpcmd::makeTarget(ctx, command, o.address, o.snmp, &s.engine.progress(), s.target, exit)) return exit;
  const platform::Registry settings(platform::Registry::defaultPath(), [](const std::string&) {},
                                    platform::Registry::Access::ReadOnly);
  app::applyGroupTimeouts(settings, cli::snmpcmd::commandLineTimeout(o.snmp));
  int rc = 0;
  s.session = std::make_unique<snmpaccess::CSnmpSession>(&s.target, rc);
  if (rc != 0) return cli::snmpcmd::reportResult(ctx, command, rc, 0, 0);

  config.attachServers();
  if (const int r = config.readSettings(*s.session)) return reportGroupFailure(ctx, command, r, config);
  if (!o.printServer.empty() && o.printServer != config.printServerName) {
    config.printServerName = o.printServer;
    config.printServerNameChanged = true;
  }
  if (!o.server.empty() && o.server != config.defaultFileServer) {
    config.defaultFileServer = o.server;
    config.defaultFileServerChanged = true;
  }
  if (!o.mode.empty()) config.setMode(toMode(o.mode));
  for (const auto& [port, number] : numbers) {
    if (config.printerNumbers.size() <= static_cast<std::size_t>(port))
      config.printerNumbers.resize(static_cast<std::size_t>(port) + 1, ::netware::kNoPrinterNumber);
    config.printerNumbers[static_cast<std::size_t>(port)] = number;
  }
  if (config.printServerName.empty())
    return failure(ctx, command, "the print server has no NetWare print server name: give --print-server");
  if (const int r = checkName(ctx, command, "the print server name", config.printServerName)) return r;
  if (const int r = config.readQueueAssignments())
    return failure(ctx, command, "reading the queue assignments failed (" + std::to_string(r) + ")");
  return kExitOk;
}

nlohmann::json modelJson(const CNetWareConfig& c) {
  nlohmann::json servers = nlohmann::json::array();
  for (const auto& fs : c.servers) {
    nlohmann::json queues = nlohmann::json::array();
    for (const auto& e : fs.entries)
      if (e.assigned) queues.push_back({{"queue", e.queue}, {"port", e.port < 0 ? nlohmann::json() : nlohmann::json(e.port + 1)}});
    servers.push_back({{"name", fs.name}, {"attached", fs.attached}, {"queues", queues}});
  }
  return {{"printServer", c.printServerName},
          {"mode", c.mode == CNetWareConfig::kModeRPrinter ? "rprinter" : "pserver"},
          {"defaultFileServer", c.defaultFileServer},
          {"mibVersion", c.mibVersion},
          {"printerNumbers", c.printerNumbers},
          {"fileServers", servers}};
}

void printModel(Context& ctx, const CNetWareConfig& c) {
  std::string report;
  c.queueReport(report);
  std::string plain;
  for (char ch : report)
    if (ch != '\r') plain += ch;
  *ctx.out << "Print server " << c.printServerName << " on " << c.defaultFileServer
           << (c.mode == CNetWareConfig::kModeRPrinter ? " (RPrinter)" : " (PServer)") << "\n";
  *ctx.out << (plain.empty() ? "No queues assigned.\n" : plain.substr(plain.find_first_not_of('\n')));
}

int runStatus(Context& ctx) {
  std::string why;
  const bool ready = clientReady(why);
  std::vector<std::string> servers;
  if (ready) {
    ::netware::NwVolumes volumes;
    CNetWareConfig config(::netware::fennick(), volumes);
    config.attachServers();
    servers = config.attachedServers;
  }
  if (ctx.json) {
    writeJson(ctx, {{"adapter", ::netware::fennick().loaded()}, {"client", ready}, {"fileServers", servers},
                    {"reason", why}});
  } else {
    *ctx.out << "adapter: " << (::netware::fennick().loaded() ? "loaded" : "not loaded") << "\n"
             << "client: " << (ready ? "ready" : "not available") << "\n";
    if (!ready) *ctx.out << "reason: " << why << "\n";
    for (const auto& s : servers) *ctx.out << "file server: " << s << "\n";
  }
  return ready ? kExitOk : kExitFailed;
}

int runSetup(Context& ctx, const SetupOptions& o) {
  const std::string command = "netware setup";
  if (o.queues.empty()) return usageError(ctx, command, "give at least one --queue [SERVER/]QUEUE:PORT");
  ::netware::NwVolumes volumes;
  CNetWareConfig config(::netware::fennick(), volumes);
  Session s;
  if (const int rc = prepare(ctx, command, o, config, s)) return rc;
  for (const std::string& q : o.queues) {
    const auto colon = q.rfind(':');
    const auto slash = q.find('/');
    std::string server = slash == std::string::npos ? config.defaultFileServer : q.substr(0, slash);
    std::string queue = q.substr(slash == std::string::npos ? 0 : slash + 1,
                                 colon == std::string::npos ? std::string::npos : colon - (slash == std::string::npos ? 0 : slash + 1));
    int port = 0;
    try {
      port = colon == std::string::npos ? 0 : std::stoi(q.substr(colon + 1));
    } catch (...) {
      port = -1;
    }
    if (queue.empty() || port < 0 || port > 4 || ::netware::hasInvalidNameCharacters(queue))
      return usageError(ctx, command, "'" + q + "' is not [SERVER/]QUEUE:PORT (port 1-4, or 0 for none)");
    if (o.createQueues) {
      std::uint32_t conn = 0;
      if (::netware::fennick().GetConnectionByName(server.c_str(), &conn) != 0)
        return failure(ctx, command, "no connection to file server " + server);
      const std::uint32_t r = config.createQueue(queue, conn);
      if (r != 0 && r != ::netware::kFnkObjectExists)
        return failure(ctx, command, "creating queue " + queue + " on " + server + " failed (" + std::to_string(r) + ")");
    }
    // A queue already serviced on that port stays as it is.
    const int s = [&] {
      for (std::size_t i = 0; i < config.servers.size(); ++i)
        if (config.servers[i].name == server) return static_cast<int>(i);
      return -1;
    }();
    bool present = false;
    if (s >= 0)
      for (const auto& e : config.servers[static_cast<std::size_t>(s)].entries)
        present |= e.assigned && e.queue == queue && e.port == port - 1;
    if (present) continue;
    int index = -1;
    if (const int rc = config.addQueue(server, queue, &index)) return failure(ctx, command, "queue " + queue + " not added (" + std::to_string(rc) + ")");
    for (auto& fs : config.servers)
      if (fs.name == server) fs.entries[static_cast<std::size_t>(index)].port = port - 1;
  }
  if (o.passwordGiven) {
    config.password = o.password;
    config.passwordChanged = true;
  }
  if (const int rc = config.applyBindery()) return failure(ctx, command, "the bindery setup failed (" + std::to_string(rc) + ")");
  *ctx.err << "bindery setup written for " << config.printServerName << "\n";
  if (const int rc = config.write(*s.session)) return reportGroupFailure(ctx, command, rc, config);
  *ctx.err << "changed NetWare settings sent; the print server takes them at its next reset\n";
  if (ctx.json)
    writeJson(ctx, modelJson(config));
  else
    printModel(ctx, config);
  return kExitOk;
}

int runShow(Context& ctx, const SetupOptions& o) {
  const std::string command = "netware show";
  ::netware::NwVolumes volumes;
  CNetWareConfig config(::netware::fennick(), volumes);
  Session s;
  if (const int rc = prepare(ctx, command, o, config, s)) return rc;
  if (ctx.json)
    writeJson(ctx, modelJson(config));
  else
    printModel(ctx, config);
  return kExitOk;
}

void addTarget(CLI::App& app, SetupOptions& o) {
  app.add_option("ADDRESS", o.address, "the print server, whose NetWare settings are read over SNMP")->required();
  app.add_option("--print-server", o.printServer, "the bindery name to use instead of the unit's")->type_name("NAME");
  app.add_option("--server", o.server, "the default file server to use instead of the unit's")->type_name("FS");
  addChoice(app, "--mode", o.mode, {"pserver", "rprinter"},
            "PServer (queues serviced) or RPrinter (printer numbers) instead of the unit's mode");
  app.add_option("--printer-number", o.printerNumbers, "printer number of a port instead of the unit's (255: none)")
      ->type_name("PORT:N");
  cli::snmpcmd::addOptions(app, o.snmp);
}

const CommandRegistration kNetWare({"netware", "NetWare client status and bindery print-server setup",
                                    "The NetWare commands reach the file servers through the NetWare adapter "
                                    "(libfennick.so) and the NetWare client it loads.",
                                    [](CLI::App& app) {
                                      app.require_subcommand(1);
                                      return [](Context&) { return kExitOk; };
                                    }});

const CommandRegistration kStatus({"netware status", "is the NetWare client there, which file servers",
                                   "Loads the NetWare adapter and its client and lists the file servers the "
                                   "workstation is attached to.\n\nExit status: 0 available, 1 not available.",
                                   [](CLI::App&) { return [](Context& ctx) { return runStatus(ctx); }; }});

const CommandRegistration kSetup({"netware setup", "write a print server's bindery setup",
                                  "Creates the print server object with its properties and rights on each file "
                                  "server that has queues, attaches it to the queues, and writes its configuration "
                                  "files under SYS:SYSTEM, as the NetWare page saves them, then sends the NetWare "
                                  "settings that changed to the print server. Its name, default file server, "
                                  "mode and printer numbers are read from it unless given. Queues already "
                                  "serviced stay.\n\nExit status: 0 written, 1 failed, 2 usage error.",
                                  [](CLI::App& app) {
                                    auto o = std::make_shared<SetupOptions>();
                                    addTarget(app, *o);
                                    app.add_option("--queue", o->queues, "a queue to service, on a port (0: none)")
                                        ->type_name("[FS/]Q:PORT");
                                    app.add_flag("--create-queues", o->createQueues, "create queues that do not exist");
                                    app.add_option("--password", o->password, "new print server password")
                                        ->each([o](const std::string&) { o->passwordGiven = true; });
                                    return [o](Context& ctx) { return runSetup(ctx, *o); };
                                  }});

const CommandRegistration kShow({"netware show", "read a print server's bindery setup back",
                                 "Reads a print server's NetWare settings over SNMP and its queue assignments "
                                 "from the binderies and its configuration files.\n\nExit status: 0 read, 1 failed, 2 usage error.",
                                 [](CLI::App& app) {
                                   auto o = std::make_shared<SetupOptions>();
                                   addTarget(app, *o);
                                   return [o](Context& ctx) { return runShow(ctx, *o); };
                                 }});

}  // namespace
}  // namespace cli::netware
