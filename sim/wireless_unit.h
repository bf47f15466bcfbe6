#pragma once
// What a wireless unit does besides answering its variables: WEP keys read back only as "*"
// (64-bit) or "**" (128-bit), a channel list that follows the regulatory country, and whether it
// accepts a certificate by FTP (sim/ftp_receiver.h).
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "sim/device_model.h"

namespace sim {

// Reads the unit key `wireless`: {"channels_by_country": {"US ": "7FF0", ...}, "ftp": true,
// "ftp_password": "..."}. False with the reason (relative to the key).
bool parseWirelessSettings(const nlohmann::json& j, WirelessSettings& out, std::string& error);

// Brings the wireless variables into the state the firmware keeps after a start: written keys
// masked, the channel bit map of the country in force. Units without the variables are left as
// they are.
void applyWirelessState(DeviceModel& d);

// Whether the unit takes a certificate upload: a wireless unit whose FTP is not switched off.
bool acceptsCertificates(const DeviceModel& d);

}  // namespace sim
