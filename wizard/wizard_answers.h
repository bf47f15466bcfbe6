#pragma once
// The wizard driven by a file of answers (trellanctl wizard): the protocol choice and each page's
// values, given as JSON, applied page by page while the flow moves from Welcome to Verify exactly
// as the buttons would move it. Answers for a page the flow does not show are refused, so a
// script learns that its unit differs from the one it was written for.
//
//   {"protocols": {"TCP/IP": true, "Wireless": false},
//    "tcpip": {"dynamic": false, "address": "10.1.2.3", "mask": "255.0.0.0", "gateway": "10.0.0.1"},
//    "ethertalk": {"ports": [{"name": "Laser", "zone": "*"}]},
//    "serial": {"mode": 4, "duplex": 1, "speed": 9600, "dataBits": 8, "stopBits": 1, "parity": 0,
//               "flow": 0, "modbus": 1, "deviceType": 0, "tcpException": 0, "autoSlaveId": 1,
//               "initialDelay": 100, "charTimeout": 10, "messageTimeout": 1000, "slaveId": 5},
//    "wireless": {"mode": 3, "ssid": "LAB", "channel": 6, "rate": 3, "encryption": 1, "keySelection": 0,
//                 "keys": ["0123456789"]},
//    "vines": {"user": "PS@Lab@Org", "password": "secret", "services": [{"name": "Q@Lab@Org", "port": 1}]}}
#include <nlohmann/json.hpp>
#include <string>

#include "wizard/wizard_flow.h"

namespace wizard {

// Walks a flow just run from Welcome to the Verify page. False with `error` set when an answer is
// malformed, names what the unit does not have, or a page refuses it (the page's own message).
bool applyAnswers(WizardFlow& flow, const nlohmann::json& answers, std::string& error);

}  // namespace wizard
