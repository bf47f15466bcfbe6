#include "app/command_router.h"

#include <cstdio>
#include <utility>

#include "app/command_table.h"
#include "app/settings.h"
#include "app/startup.h"
#include "devices/ipv4_text.h"
#include "platform/registry.h"
#include "platform/report_error.h"
#include "tools/telnet.h"

namespace app {

namespace {

// A settings value is untrusted: a path longer than any real one is ignored.
constexpr std::size_t kMaxProgramPath = 4096;

class WaitCursor {
 public:
  explicit WaitCursor(CommandHost& host) : host_(host) { host_.setWaitCursor(true); }
  ~WaitCursor() { release(); }
  void release() {
    if (on_) host_.setWaitCursor(false);
    on_ = false;
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  CommandHost& host_;
  bool on_ = true;
};

std::string plainIpv4(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", (v >> 24) & 0xFFu, (v >> 16) & 0xFFu, (v >> 8) & 0xFFu, v & 0xFFu);
  return buf;
}

std::string joinPath(std::string_view dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  std::string out(dir);
  if (out.back() != '/') out += '/';
  out += name;
  return out;
}

}  // namespace

std::optional<std::string> httpUrlFor(std::string_view deviceAddress) {
  // The address comes from a device's reply; only a dotted quad makes a URL, written without
  // leading zeros so that no browser reads a part as octal.
  const auto value = devices::parseIpv4(deviceAddress);
  if (!value) return std::nullopt;
  return "http://" + plainIpv4(*value);
}

std::string mailtoUrl(std::string_view address, std::string_view subject) {
  std::string url = "mailto:";
  url += address;
  url += "?subject=";
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : subject) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0xF];
    }
  }
  return url;
}

std::string helpFilePath(std::string_view programDirectory) { return joinPath(programDirectory, texts::kHelpFile); }

std::string defaultVigiloPath(std::string_view programDirectory) {
  return joinPath(programDirectory, texts::kVigiloDefaultPath);
}

CommandRouter::CommandRouter(CommandHost& host, platform::Registry* settings, Config config)
    : host_(host), settings_(settings), config_(std::move(config)) {
  if (config_.registrationUrl.empty()) config_.registrationUrl = texts::kRegistrationUrl;
  if (config_.supportAddress.empty()) config_.supportAddress = texts::kSupportAddress;
}

void CommandRouter::setHandler(cmd::CommandId id, Handler handler) {
  if (handler)
    handlers_[id] = std::move(handler);
  else
    handlers_.erase(id);
}

bool CommandRouter::hasHandler(cmd::CommandId id) const { return handlers_.count(id) != 0; }

bool CommandRouter::cancelsSearch(cmd::CommandId id) noexcept {
  switch (id) {
    case cmd::kAbout:
    case cmd::kHelpContents:
    case cmd::kRegistration:
    case cmd::kEmailSupport:
      return false;
    default:
      return true;
  }
}

bool CommandRouter::hasBuiltIn(cmd::CommandId id) noexcept {
  switch (id) {
    case cmd::kRefresh:
    case cmd::kStop:
    case cmd::kExit:
    case cmd::kAbout:
    case cmd::kRegistration:
    case cmd::kHttp:
    case cmd::kEmailSupport:
    case cmd::kHelpContents:
    case cmd::kVigilo:
    case cmd::kTelnet:
    case cmd::kNetworkInformation:
      return true;
    default:
      return false;
  }
}

DispatchResult CommandRouter::dispatch(cmd::CommandId id) { return run(id, true); }

DispatchResult CommandRouter::execute(cmd::CommandId id) { return run(id, false); }

DispatchResult CommandRouter::run(cmd::CommandId id, bool checkEnabled) {
  const CommandInfo* info = findCommand(id);
  if (!info) {
    // A stored double-click command or a stray post: say so once, do nothing else.
    host_.showMessage(notAvailableMessage(id));
    return DispatchResult::Unknown;
  }
  if (checkEnabled && !commandEnabled(id, host_.commandState())) return DispatchResult::Disabled;
  if (cancelsSearch(id)) host_.cancelSearch();

  if (featureInBuild(info->feature)) {
    if (auto it = handlers_.find(id); it != handlers_.end()) {
      // Copy: the handler may register handlers itself.
      Handler handler = it->second;
      handler();
      return DispatchResult::Handled;
    }
    if (runBuiltIn(id)) return DispatchResult::Handled;
  }
  host_.showMessage(notAvailableMessage(id));
  return DispatchResult::NotAvailable;
}

bool CommandRouter::runBuiltIn(cmd::CommandId id) {
  switch (id) {
    case cmd::kRefresh: refresh(); return true;
    case cmd::kStop: return true;  // stopping the search was all
    case cmd::kExit: host_.closeMainWindow(); return true;
    case cmd::kAbout: host_.showAbout(); return true;
    case cmd::kRegistration: openRegistration(); return true;
    case cmd::kHttp: openHttp(); return true;
    case cmd::kEmailSupport: sendMail(); return true;
    case cmd::kHelpContents: openHelp(); return true;
    case cmd::kVigilo: startVigilo(); return true;
    case cmd::kTelnet: startTelnet(); return true;
    case cmd::kNetworkInformation: host_.showNetworkInformation(); return true;
    default: return false;
  }
}

void CommandRouter::refresh() {
  if (config_.skipFirstRefresh) {
    // Only the automatic search at start-up is skipped.
    config_.skipFirstRefresh = false;
    host_.focusMainWindow();
    return;
  }
  const int protocol = host_.commandState().viewProtocol;
  if (!host_.checkProtocol(protocol)) return;
  if (accessKeyForView(protocol))
    host_.loadAccessList(protocol, false);
  else
    host_.showMessage(texts::kProtocolNotSupported);
  host_.refreshOpenView();
}

void CommandRouter::openRegistration() {
  if (!host_.openUrl(config_.registrationUrl)) host_.showMessage(texts::kUnableToLaunchBrowser);
}

void CommandRouter::openHttp() {
  if ((host_.commandState().networkFlags & kNetTcp) == 0) host_.showMessage(texts::kHttpNoTcp);
  const std::string address = host_.focusedDeviceAddress();
  if (address.empty()) return;
  const auto url = httpUrlFor(address);
  if (!url) {
    host_.showMessage(texts::kUnableToLaunchBrowser);
    return;
  }
  WaitCursor wait(host_);
  const bool opened = host_.openUrl(*url);
  wait.release();
  if (!opened) host_.showMessage(texts::kUnableToLaunchBrowser);
}

void CommandRouter::sendMail() {
  if (host_.openUrl(mailtoUrl(config_.supportAddress, texts::kEmailSubject))) return;
  std::string text = texts::kMailLaunchFailed;
  const auto at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, config_.supportAddress);
  host_.showMessage(text);
}

void CommandRouter::openHelp() {
  // Said as for the web links: a help file nothing can show is not a silent key press.
  if (!host_.openLocalFile(helpFilePath(config_.programDirectory))) host_.showMessage(texts::kUnableToLaunchBrowser);
}

void CommandRouter::startTelnet() {
  const std::string address = host_.focusedDeviceAddress();
  if (address.empty()) return;
  const auto command = telnetCommand(address);
  if (!command) return;  // no dotted quad: nothing to start, and nothing is reported
  WaitCursor wait(host_);
  host_.startProgram(command->program, command->arguments);
}

bool CommandRouter::startVigiloFrom(const std::string& path) {
  return !path.empty() && host_.startProgram(path, {});
}

void CommandRouter::startVigilo() {
  // A running monitor is brought forward instead of starting a second one. Search texts of
  // one character or less would match anything, so they are skipped.
  for (const char* title : {texts::kVigiloTitle1, texts::kVigiloTitle2}) {
    if (std::string_view(title).size() > 1 && host_.activateWindowByTitle(title)) return;
  }
  if (std::string_view(texts::kVigiloClass).size() > 1 && host_.activateWindowByClass(texts::kVigiloClass)) return;

  WaitCursor wait(host_);
  std::string remembered = vigiloPath_;
  if (remembered.empty() && settings_) {
    remembered = settings_->getString(kToolsKey, texts::kAlertPathValue, "");
    if (remembered.size() > kMaxProgramPath) remembered.clear();
  }
  if (startVigiloFrom(remembered)) return;
  if (startVigiloFrom(defaultVigiloPath(config_.programDirectory))) return;
  wait.release();

  const auto chosen = host_.chooseProgramFile(texts::kVigiloFileName, texts::kVigiloFilterName,
                                              texts::kVigiloFilterPattern);
  if (!chosen || chosen->empty()) return;
  WaitCursor waitAgain(host_);
  if (startVigiloFrom(*chosen)) {
    vigiloPath_ = *chosen;
    if (settings_) settings_->setString(kToolsKey, texts::kAlertPathValue, *chosen);
    return;
  }
  waitAgain.release();
  host_.reportError(texts::kVigiloLoadFailedCode, platform::kErrorProgram);
}

}  // namespace app
