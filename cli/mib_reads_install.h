#pragma once
// trellanctl's SNMP reads after a discovery reply (printer status, extra columns, the second
// family), set up from the settings store as the program does; removed when the scope ends.
namespace cli {

class MibReadsInstall {
 public:
  MibReadsInstall();
  ~MibReadsInstall();
  MibReadsInstall(const MibReadsInstall&) = delete;
  MibReadsInstall& operator=(const MibReadsInstall&) = delete;
};

}  // namespace cli
