#include "devices/discovery.h"

#include <algorithm>
#include <chrono>

#include "access/progress_headless.h"
#include "devices/device_column.h"
#include "snmp/engine_watch.h"

namespace devices {

const char* searchText(std::uint32_t id) noexcept {
  switch (id) {
    case kTextSearchingLocal: return "Searching the local network...";
    case kTextSearchingSpecific: return "Searching specific devices...";
    case kTextCheckingSerialPorts: return "Checking Serial Ports...";
    default: return "";
  }
}

bool isKnownFamily(std::string_view code, const std::vector<std::string>& oemFamilies) noexcept {
  if (code == "KDV") return true;
  return std::any_of(oemFamilies.begin(), oemFamilies.end(), [&](const std::string& f) { return !f.empty() && f == code; });
}

CDiscovery::CDiscovery(int protocol, platform::MessageTarget* owner, std::unique_ptr<snmpaccess::ProgressWindow> progress)
    : protocol_(protocol), progress_(std::move(progress)), owner_(owner) {
  // The headless window polls the watch the sockets register with, and stops with this object's
  // flag, so a Stop between two waits is never lost.
  if (!progress_) {
    progress_ = std::make_unique<snmpaccess::HeadlessProgress>(&snmp::headlessWatch(), &stop_);
    headless_ = true;
  }
}

CDiscovery::~CDiscovery() {
  // The worker uses the progress window and the settings: it ends before they go.
  stopAndWait();
}

void CDiscovery::setOwner(platform::MessageTarget* owner) noexcept {
  std::lock_guard lock(mutex_);
  owner_ = owner;
}

void CDiscovery::setSettings(const DiscoverySettings& settings) {
  std::lock_guard lock(mutex_);
  settings_ = settings;
}

DiscoverySettings CDiscovery::settings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

bool CDiscovery::isCurrent(const platform::Message& message) const noexcept {
  const std::uint32_t current = searchNumber_.load();
  switch (message.msg) {
    case kMsgDeviceFound:
    case kMsgSearchDone:
      return static_cast<std::uint32_t>(message.wParam) == current;
    case kMsgProgressText:
      return static_cast<std::uint32_t>(message.lParam) == current;
    default:
      return false;
  }
}

std::unique_ptr<CDevice> CDiscovery::takeFound(const platform::Message& message) {
  if (message.msg != kMsgDeviceFound) return nullptr;
  const auto search = static_cast<std::uint32_t>(message.wParam);
  const auto* key = reinterpret_cast<const CDevice*>(message.lParam);
  std::lock_guard lock(mutex_);
  // The pointer is only a key: it is never followed unless this search still holds it.
  auto it = std::find_if(pending_.begin(), pending_.end(),
                         [&](const Pending& p) { return p.search == search && p.device.get() == key; });
  if (it == pending_.end()) return nullptr;
  std::unique_ptr<CDevice> device = std::move(it->device);
  pending_.erase(it);
  return device;
}

int CDiscovery::acceptFound(const platform::Message& message) {
  if (!isCurrent(message)) {
    // Stale: its device went with the pending list of its search.
    takeFound(message);
    return -1;
  }
  std::unique_ptr<CDevice> device = takeFound(message);
  if (!device) return -1;
  return addDevice(std::move(device));
}

int CDiscovery::addDevice(std::unique_ptr<CDevice> device) {
  if (!device) return -1;
  if (!device->hardwareAddress.empty()) {
    for (const auto& d : devices_)
      if (d->answered && d->hardwareAddress == device->hardwareAddress.view()) return -1;
  }
  devices_.push_back(std::move(device));
  return static_cast<int>(devices_.size()) - 1;
}

void CDiscovery::clearDevices() { devices_.clear(); }

bool CDiscovery::wantsExtraColumns(const SearchRequest& request, bool onWorker) const {
  const std::uint32_t bits = request.columnBits;
  if (showsPortColumn(bits) || showsWirelessColumn(bits) || showsLocationColumn(bits)) return true;
  // searchNow leaves the firmware column out.
  return onWorker && showsFirmwareColumn(bits);
}

void CDiscovery::prepare(CDevice& device, bool extraColumns) const {
  const DiscoverySettings s = settings();
  device.progress = progress_.get();
  device.querySettings.discoveryPort = s.discoveryPort;
  device.querySettings.replyTimeoutMs = s.broadcastTimeoutMs;
  device.querySettings.ipxDiscoverySocket = s.ipxDiscoverySocket;
  device.querySettings.secondFamilyPort = s.secondFamilyPort;
  device.querySettings.masks = s.masks;
  device.querySettings.extraColumns = extraColumns;
}

void CDiscovery::postToOwner(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  std::lock_guard lock(mutex_);
  if (owner_) owner_->post(msg, wParam, lParam);
}

void CDiscovery::post(std::unique_ptr<CDevice> device) {
  if (!device) return;
  if (direct_) {
    devices_.push_back(std::move(device));
    return;
  }
  const std::uint32_t number = searchNumber_.load();
  std::lock_guard lock(mutex_);
  CDevice* key = device.get();
  pending_.push_back({number, std::move(device)});
  if (owner_) owner_->post(kMsgDeviceFound, number, reinterpret_cast<std::intptr_t>(key));
}

void CDiscovery::postText(std::uint32_t textId) {
  progress_->setText(std::string(searchText(textId)));
  postToOwner(kMsgProgressText, textId, static_cast<std::intptr_t>(searchNumber_.load()));
}

void CDiscovery::stopAndWait() {
  stop_.store(true);
  progress_->stop();
  // Every wait of a search ends on a stop or after its own time-out; keep stopping until the
  // worker has noticed, then join it so nothing it uses can go away under it.
  while (busy_.load()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    progress_->stop();
  }
  if (thread_.joinable()) thread_.join();
}

void CDiscovery::startSearch(const SearchRequest& request) {
  stopAndWait();
  stop_.store(false);
  devices_.clear();
  shownColumns_.store(request.columnBits);
  const std::uint32_t number = searchNumber_.fetch_add(1) + 1;
  {
    std::lock_guard lock(mutex_);
    // Devices of earlier searches nobody claimed go now; their messages are refused as stale.
    pending_.clear();
  }
  busy_.store(true);
  thread_ = std::thread(&CDiscovery::worker, this, request, number);
}

void CDiscovery::worker(SearchRequest request, std::uint32_t number) {
  // A headless window polls only the headless watch: the worker's sockets must go there even
  // when the GUI has installed its own watch for the main thread.
  if (headless_) snmp::setThreadSocketWatch(&snmp::headlessWatch());
  const int result = runSearch(request, wantsExtraColumns(request, true));
  lastResult_.store(result == 2 || stop_.load() ? 2 : 0);
  postToOwner(kMsgSearchDone, number, 0);
  busy_.store(false);
}

int CDiscovery::searchNow(const SearchRequest& request) {
  stopAndWait();
  stop_.store(false);
  shownColumns_.store(request.columnBits);
  searchNumber_.fetch_add(1);
  devices_.clear();
  direct_ = true;
  busy_.store(true);
  int result = 0;
  {
    // The headless window polls only the headless watch.
    snmp::ScopedThreadSocketWatch watch(headless_ ? &snmp::headlessWatch() : nullptr);
    result = runSearch(request, wantsExtraColumns(request, false));
  }
  lastResult_.store(result == 2 ? 2 : 0);
  busy_.store(false);
  direct_ = false;
  // Remove later duplicates of every answered device.
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    if (!devices_[i]->answered || devices_[i]->hardwareAddress.empty()) continue;
    const std::string hw(devices_[i]->hardwareAddress.view());
    for (std::size_t j = devices_.size(); j-- > i + 1;)
      if (devices_[j]->hardwareAddress == hw) devices_.erase(devices_.begin() + static_cast<std::ptrdiff_t>(j));
  }
  return result;
}

int CDiscovery::findOrAdd(std::string_view text) {
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    for (int c = 0; c < kColumnCount; ++c) {
      const char* t = devices_[i]->columnText(c);
      if (t && !text.empty() && text == t) return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace devices
