#pragma once
// The discovery object of a view: runs one search at a time on a worker thread, hands every
// device it finds to the main window by message, owns the devices the main window accepted, and
// signals the end of the search.
//
// Messages to the owner (the main window's MessageTarget):
//   kMsgDeviceFound (0x800F): wParam = search number, lParam = the new CDevice*. The device is
//     held by the discovery until the receiver calls acceptFound/takeFound with the message; a
//     message that is never handled costs nothing (the device is freed with the next search or
//     the discovery), and one from an earlier search is refused without touching the pointer.
//   kMsgProgressText (0x8010): wParam = string id of the status text, lParam = search number.
//   kMsgSearchDone (0x8012): wParam = search number.
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "access/progress.h"
#include "devices/device.h"
#include "platform/message.h"
#include "platform/message_target.h"

namespace devices {

inline constexpr std::uint32_t kMsgDeviceFound = 0x800F;
inline constexpr std::uint32_t kMsgProgressText = 0x8010;
inline constexpr std::uint32_t kMsgSearchDone = 0x8012;

// Protocol codes of the search methods.
inline constexpr int kProtocolTcpIp = 6;
inline constexpr int kProtocolNetWare = 7;
inline constexpr int kProtocolSerial = 8;
inline constexpr int kProtocolIpx = 9;

// Status texts of a search (string ids and their words).
inline constexpr std::uint32_t kTextSearchingLocal = 6101;
inline constexpr std::uint32_t kTextSearchingSpecific = 6102;
inline constexpr std::uint32_t kTextCheckingSerialPorts = 6103;
const char* searchText(std::uint32_t id) noexcept;

// What one search is asked to do: the view's search settings as plain values.
struct SearchRequest {
  bool localSearch = true;           // NetSearchBuild
  bool listSearch = false;           // ListBuild
  std::vector<std::string> entries;  // the view's search list
  std::uint32_t columnBits = 0;      // the columns the view shows (catalogue bits)
};

// Settings of the searches, read by the caller from the settings store.
struct DiscoverySettings {
  int broadcastTimeoutMs = 6000;  // Broadcast
  std::uint16_t discoveryPort = 4201;
  std::uint16_t secondFamilyPort = 19541;
  std::uint16_t ipxDiscoverySocket = 0x4201;
  StatusMasks masks;
  std::vector<std::string> oemFamilies;  // codes of OemFamilyTable, besides "KDV"
  int scanBatchWaitMs = 500;             // subnet scan: wait before each batch of five
  int scanFinalWaitMs = 2000;            // and after the last batch
  int secondFamilyWaitMs = 100;          // per datagram of the second-family probe
  // Quick search (opt-in; 0 = off): a broadcast round also ends once no new unit has answered
  // for this long, instead of only after a whole Broadcast wait without any reply.
  int quickQuietMs = 0;
};

// The quiet time of the quick search when it is switched on.
inline constexpr int kQuickQuietMs = 300;

// The family codes a search turns into devices.
bool isKnownFamily(std::string_view code, const std::vector<std::string>& oemFamilies) noexcept;

class CDiscovery {
 public:
  // `owner` receives the messages (may be set later, null: devices are kept until the next
  // search). `progress`: the silent progress window, owned; null gives a headless one.
  CDiscovery(int protocol, platform::MessageTarget* owner, std::unique_ptr<snmpaccess::ProgressWindow> progress);
  virtual ~CDiscovery();
  CDiscovery(const CDiscovery&) = delete;
  CDiscovery& operator=(const CDiscovery&) = delete;

  int protocol() const noexcept { return protocol_; }
  void setOwner(platform::MessageTarget* owner) noexcept;
  void setSettings(const DiscoverySettings& settings);
  DiscoverySettings settings() const;
  snmpaccess::ProgressWindow& progress() { return *progress_; }
  // The window that waits on the calling thread go through (findOrAdd, searchNow): the GUI's
  // "Please Wait" window, so the GUI keeps painting and Cancel works. Null: the discovery's own.
  void setForegroundProgress(snmpaccess::ProgressWindow* progress) noexcept { foreground_ = progress; }
  snmpaccess::ProgressWindow* foregroundProgress() const noexcept { return foreground_; }

  // Index of the first device with a column text equal to `text`; otherwise, for an address
  // text, asks that address once and adds the device when it answers, with the extra columns
  // the view shows (as a search would read them). -1 when nothing answered.
  virtual int findOrAdd(std::string_view text);
  // The columns the view shows (catalogue bits); every search request sets them too.
  void setShownColumns(std::uint32_t columnBits) noexcept { shownColumns_.store(columnBits); }
  std::uint32_t shownColumns() const noexcept { return shownColumns_.load(); }
  // The whole search on the calling thread; the found devices are added directly (duplicates by
  // hardware address removed), no 0x800F is posted. Returns 0 or 2 when stopped.
  virtual int searchNow(const SearchRequest& request);
  // Stops a running search, deletes the previous devices and starts the worker.
  virtual void startSearch(const SearchRequest& request);
  // Stops the running search and always joins its worker. Devices found so far stay.
  void stopAndWait();

  bool busy() const noexcept { return busy_.load(); }
  // The result of the last search that ended: 0, or 2 when it was stopped.
  int lastResult() const noexcept { return lastResult_.load(); }
  // The number of the current (or last) search; messages carry it.
  std::uint32_t searchNumber() const noexcept { return searchNumber_.load(); }
  // True when `message` belongs to the current search.
  bool isCurrent(const platform::Message& message) const noexcept;

  // Handling of kMsgDeviceFound: adds the device and returns its index, or -1 when the message is
  // stale or the device is a duplicate (then deleted).
  int acceptFound(const platform::Message& message);
  // The device of a kMsgDeviceFound message, handed over; null when stale.
  std::unique_ptr<CDevice> takeFound(const platform::Message& message);

  // Appends a device unless an answered device with the same hardware address is there (then it is
  // deleted and -1 returned). Main thread only.
  int addDevice(std::unique_ptr<CDevice> device);
  int addDevice(CDevice* device) { return addDevice(std::unique_ptr<CDevice>(device)); }
  const std::vector<std::unique_ptr<CDevice>>& devices() const noexcept { return devices_; }
  std::size_t deviceCount() const noexcept { return devices_.size(); }
  CDevice* device(std::size_t index) const noexcept { return index < devices_.size() ? devices_[index].get() : nullptr; }
  void clearDevices();

 protected:
  // The search itself (worker or searchNow). Returns 0 or 2 when stopped.
  virtual int runSearch(const SearchRequest& request, bool extraColumns) = 0;
  // Whether devices need the SNMP read of extra columns: per-port, wireless, location, firmware.
  virtual bool wantsExtraColumns(const SearchRequest& request, bool onWorker) const;

  // --- for the search methods (worker thread) ---
  // Hands a found device over (posted, or added directly by searchNow).
  void post(std::unique_ptr<CDevice> device);
  void postText(std::uint32_t textId);
  bool stopRequested() const noexcept { return stop_.load(); }
  // True when the discovery's own window is the headless one it made: its waits poll the
  // headless watch, so sockets of those waits must be registered there.
  bool headlessProgress() const noexcept { return headless_; }
  // Gives a new device what every query needs: the progress window and the query settings.
  void prepare(CDevice& device, bool extraColumns) const;

 private:
  void worker(SearchRequest request, std::uint32_t number);
  void postToOwner(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

  const int protocol_;
  std::unique_ptr<snmpaccess::ProgressWindow> progress_;
  bool headless_ = false;  // progress_ is the headless window made here
  snmpaccess::ProgressWindow* foreground_ = nullptr;
  std::atomic<bool> stop_{false};
  std::atomic<bool> busy_{false};
  std::atomic<int> lastResult_{0};
  std::atomic<std::uint32_t> searchNumber_{0};
  bool direct_ = false;  // searchNow: devices go straight into the array
  std::atomic<std::uint32_t> shownColumns_{0};

  mutable std::mutex mutex_;  // owner, settings, pending
  platform::MessageTarget* owner_ = nullptr;
  DiscoverySettings settings_;
  struct Pending {
    std::uint32_t search;
    std::unique_ptr<CDevice> device;
  };
  std::deque<Pending> pending_;  // taken from the front in the order found

  std::vector<std::unique_ptr<CDevice>> devices_;
  std::thread thread_;
};

}  // namespace devices
