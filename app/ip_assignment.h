#pragma once
// The IP address assignment of a listed print server without a display: the view must use
// TCP/IP, the unit must have a hardware address; "Enter IP address" asks for the address; OK
// tries the second family's sequence first and otherwise broadcasts the native initialization
// request; a native unit is then waited for at its new address (its old address comes back when
// it does not answer) and the list is refreshed.
#include <cstdint>
#include <functional>
#include <string>

#include "app/unlisted_ip_setup.h"

namespace devices {
class CIpDevice;
}

namespace app {

inline constexpr int kIpAssignmentCommand = 32842;
inline constexpr std::uint32_t kTextNoTcpIpView = 5025;  // "Cannot assign IP address. Current view does not use TCP/IP."
inline constexpr int kViewProtocolTcpIp = 6;

enum class AssignmentOutcome { NotTcpIp, NoHardwareAddress, Cancelled, SecondFamily, Answered, NotAnswered };

struct IpAssignmentServices {
  InitSendServices send;
  int viewProtocol = kViewProtocolTcpIp;
  std::function<void(std::uint32_t textId)> messageBox;  // a plain message box with a string
  std::function<void(const std::string& text, const std::string& title)> information;
  // Shows "Enter IP address" with `address`; `onOk` decides whether it closes. False: cancelled.
  std::function<bool(std::string& address, const std::function<bool(const std::string&)>& onOk)> askAddress;
  // The second family's sequence; 0 on success.
  std::function<int(const devices::CIpDevice& device, const std::string& address)> assignSecondFamily;
  // The progress window with "Setting IP address" around the wait: the device asked at the new
  // address for up to `seconds`; 0 when it answered.
  std::function<int(devices::CIpDevice& device, int seconds, const std::string& address)> waitForDevice;
  std::function<void()> refreshList;
  int resetTimeoutSeconds = 40;
};

AssignmentOutcome runIpAssignment(devices::CIpDevice& device, const IpAssignmentServices& services);

}  // namespace app
