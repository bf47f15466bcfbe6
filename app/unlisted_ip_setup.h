#pragma once
// "Setup Unlisted IP Server" without a display: the dialog's fields and their rules (the short
// form with Next, the long form with the proposed directed broadcast and "Use Multicast"), the
// send on OK, and the command's loop: wait for the unit at its new address with Stop, add it to
// the view, or say "Cannot communicate with the server." and show the dialog again.
#include <cstdint>
#include <functional>
#include <string>

#include "devices/initialization_request.h"

namespace app {

inline constexpr std::uint32_t kTextSettingIpAddress = 6135;  // "Setting IP address"
inline constexpr const char* kMulticastText = "multicast";
inline constexpr std::size_t kSerialNumberLength = 8;
inline constexpr std::size_t kAddressTextLength = 15;

// What the dialog needs from around it.
struct InitSendServices {
  std::uint16_t discoveryPort = 4201;
  std::function<void(std::uint32_t textId)> report;  // ReportError(id, class 1)
  // Sends the request; the default sends it for real (sendInitializationRequest).
  std::function<devices::InitSend(std::uint32_t identifier, std::uint32_t address, const devices::InitDestination&)>
      send;
};

class CUnlistedIpSetup {
 public:
  std::string serialNumber;
  std::string ipAddress;
  std::string destination;
  bool multicast = false;
  bool longForm = false;

  // Next (also OK while the short form shows): the address must be IPv4 text, else 5003 is
  // reported and false returned. Proposes the address's class C broadcast and shows the long form.
  bool next(const InitSendServices& services);
  // The check box: the destination shows "multicast" while it is on, the remembered text after.
  void setMulticast(bool on);
  // OK: in the short form the same as Next (the dialog stays). In the long form the fields are
  // checked (5003), the request is sent, and true tells the dialog to close.
  bool accept(const InitSendServices& services);

  // The text fields as the edits cut them.
  void setSerialNumber(const std::string& text) { serialNumber = text.substr(0, kSerialNumberLength); }
  void setIpAddress(const std::string& text) { ipAddress = text.substr(0, kAddressTextLength); }
  void setDestination(const std::string& text) { destination = text.substr(0, kAddressTextLength); }

 private:
  std::string remembered_;
};

// "a.b.c.d" gives "a.b.c.255": the text up to its last "." and "255".
std::string proposedDestination(const std::string& address);

enum class UnlistedOutcome { Cancelled, Added };

struct UnlistedIpServices {
  InitSendServices send;
  // Shows the dialog modally over `model`; true when it closed with OK (the request went out).
  std::function<bool(CUnlistedIpSetup& model)> showDialog;
  // Asks the unit at the address until it answers, Stop, or the ResetTimeout; true when it answered.
  std::function<bool(const std::string& address)> waitForUnit;
  // Hands the address to the open view; false when adding failed.
  std::function<bool(const std::string& address)> addToView;
  // Bounds the retry loop when nobody is there to cancel (tests); 0: until the dialog is cancelled.
  int maxRounds = 0;
};

UnlistedOutcome runUnlistedIpSetup(CUnlistedIpSetup& model, const UnlistedIpServices& services);

}  // namespace app
