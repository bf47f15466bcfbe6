#include "app/startup.h"

#include <filesystem>

#include "app/network_layer.h"
#include "app/oem_family_table.h"
#include "platform/registry.h"
#include "platform/report_error_log.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"
#include "tools/net_environment.h"

namespace app {
namespace {

std::string programDirectory() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = std::filesystem::current_path(ec) / "trellan";
  std::string dir = exe.parent_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string text(std::uint32_t id) {
  const char* s = platform::loadString(id);
  return s ? s : "";
}

}  // namespace

const char* accessKeyForView(int viewProtocol) {
  switch (viewProtocol) {
    case kViewTcpIp: return kAccessIpKey;
    case kViewNetWare: return kAccessNwKey;
    case kViewSerial: return kAccessComKey;
    default: return nullptr;
  }
}

CAmbra32App::Environment CAmbra32App::defaultEnvironment() {
  return {programDirectory(), LegacyImport::defaultDirectory()};
}

CAmbra32App::CAmbra32App(platform::Registry& reg, StartupUi& ui, NetworkLayer& net, Environment env)
    : reg_(reg), ui_(ui), net_(net), env_(std::move(env)) {
  // Messages of this process log according to this store's General\Log.
  platform::setErrorLogFlagSource([this] { return readSetting(reg_, kGeneralKey, "Log") == 1; });
}

CAmbra32App::~CAmbra32App() { platform::setErrorLogFlagSource(nullptr); }

bool CAmbra32App::startUp(const CommandLine& commandLine) {
  failure_ = Failure::None;
  ready_ = false;

  // The common-controls check has no counterpart here; the root key is the store's default.
  runIndex_ = reg_.getDword(kGeneralKey, "RunIndex", 0);
  if (runIndex_ == 0) {
    legacyReport_ = LegacyImport().run(reg_, env_.legacyDirectory, [this](const std::string& q) {
      return ui_.askYesNo(q);
    });
    reg_.setString(kGeneralKey, "Location", env_.programDirectory);
  }
  if (runIndex_ <= 10) reg_.setDword(kGeneralKey, "RunIndex", runIndex_ + 1);

  loadGlobalSettings(reg_, globalSettings());
  applyGroupTimeouts(reg_);
  const auto [desktopWidth, desktopHeight] = ui_.desktopSize();
  const WindowRect defaultRect = defaultWindowRect(desktopWidth, desktopHeight);
  // Every setting with a default is in the store from the first start on, for the user to see.
  writeDefaults(reg_, defaultRect);

  oemFamilyTable().fill(reg_);

  commandLine_ = commandLine;

  if (ui_.findRunningInstance()) {
    if (!commandLine_.newInstance()) {
      ui_.activateRunningInstance();
      failure_ = Failure::SecondInstance;
      return false;
    }
    // A second window starts at the top-left corner with the stored size.
    const WindowRect stored = readWindowRect(reg_, defaultRect);
    writeWindowRect(reg_, {0, 0, stored.width(), stored.height()});
  } else {
    ui_.becomeFirstInstance();
  }

  if (!ui_.createMainWindow(readWindowRect(reg_, defaultRect))) {
    failure_ = Failure::NoMainWindow;
    return false;
  }
  if (const std::string view = commandLine_.viewName(); !view.empty())
    reg_.setString(kGeneralKey, "CurrentView", view);
  ui_.createProgressDialog();

  probeResult_ = net_.probe();
  probed_ = true;

  if (openViewTree_ && !openViewTree_()) {
    failure_ = Failure::NoView;
    return false;
  }

  ui_.attachViewManager(globalSettings().setAppIcon.load() != 0);
  ready_ = true;

  loadDiscoveryPort(reg_, globalSettings());
  ui_.postRefresh();
  return true;
}

int CAmbra32App::shutDown() {
  if (probed_) net_.close();
  probed_ = false;
  return 0;
}

bool CAmbra32App::checkProtocol(int viewProtocol) {
  std::uint32_t needed = 0;
  std::uint32_t name = 0;
  switch (viewProtocol) {
    case kViewTcpIp: needed = CNetEnvironment::kUdp; name = platform::ids::kProtocolTcpIp; break;
    case kViewNetWare: needed = CNetEnvironment::kNetWareClient; name = platform::ids::kProtocolNetWare; break;
    case kViewSerial: needed = CNetEnvironment::kSerial; name = platform::ids::kProtocolSerial; break;
    default:
      ui_.showWarning(text(platform::ids::kProtocolNotSupported));
      return false;
  }
  if (net_.flags() & needed) return true;
  std::string message = text(platform::ids::kProtocolNotInitialized);
  if (auto at = message.find("%s"); at != std::string::npos) message.replace(at, 2, text(name));
  ui_.showWarning(message);
  return false;
}

bool CAmbra32App::loadAccessList(int viewProtocol, bool force) {
  const char* key = accessKeyForView(viewProtocol);
  if (!key) return false;
  accessList_.load(reg_, key, force);
  if (viewProtocol == kViewTcpIp) globalSettings().discoveryPort = accessList_.discoveryPort();
  return true;
}

}  // namespace app
