#pragma once
// The serial parameters of one output port, as the Output Port page holds them between its two
// serial dialogs and the port's row (row variables 17 to 29).
#include <cstdint>
#include <string>
#include <vector>

namespace config {

struct SerialValues {
  std::int32_t flow = 1;          // 17
  std::int32_t dataBits = 8;      // 18
  std::int32_t stopBits = 1;      // 19
  std::int32_t parity = 1;        // 20
  std::int32_t speed = 1;         // 21: a code 1-10, or the speed itself on "Serial Settings"
  std::int32_t mode = 0;          // 22: 0, 1 (232), 2 (422), 3 (485 full), 4 (485 half)
  std::int32_t modbus = 0;        // 23
  std::int32_t deviceType = 0;    // 24
  std::int32_t slaveId = 0;       // 25 (0: no fixed slave ID)
  std::int32_t initialDelay = 100;  // 26
  std::int32_t charTimeout = 10;    // 27
  std::int32_t messageTimeout = 1000;  // 28
  std::int32_t tcpException = 0;  // 29
};

// One entry of a choice list: the text shown and the value behind it.
struct Choice {
  std::int32_t value = 0;
  std::string text;
};

// Index of `value` in `list`, or -1.
int choiceIndex(const std::vector<Choice>& list, std::int32_t value);
inline bool offers(const std::vector<Choice>& list, std::int32_t value) { return choiceIndex(list, value) >= 0; }

}  // namespace config
