#pragma once
// A NetWare print server found through the bindery: its query looks the serial number up in the
// bindery (NET_ADDRESS of the print server's own object) and then asks the unit over IPX.
#include <string>
#include <vector>

#include "devices/device.h"
#include "netware/fnk_binding.h"

namespace netware {

// The family codes of print-server objects with the bindery type each is looked up with:
// "KDV" 25347, "ZBN" 9993, "HLQ" 25347, then every OEM code with 25347.
struct FamilyType {
  std::string code;
  std::uint16_t type;
};
std::vector<FamilyType> printServerFamilies(const std::vector<std::string>& oemFamilies);
// The family of a bindery object name (its first three characters), or "" when none is known.
std::string familyOfObjectName(const std::string& name, const std::vector<std::string>& oemFamilies);

class CNetWareBinderyDevice final : public devices::CNetWareDevice {
 public:
  CNetWareBinderyDevice(const CFennick& client, std::vector<std::string> oemFamilies)
      : fnk_(client), oem_(std::move(oemFamilies)) {}
  // 0 answered, 2 stopped, -1 with failureText saying why.
  int query(devices::ReplyBuffer* reply = nullptr) override;
  // Sets the IPX address from "NETWORK-NODE" (8 and 12 hex digits); false when malformed.
  bool setIpxAddress(const std::string& text);

 private:
  bool lookUpInBindery();
  const CFennick& fnk_;
  std::vector<std::string> oem_;
};

}  // namespace netware
