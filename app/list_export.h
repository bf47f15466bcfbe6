#pragma once
// "Save List to File..." and "Save IP Addresses...": the rows of the device list as the window
// shows them (sort, display filter, "View by Printer") written to a text file. The list file is
// one line of column titles and one line per row, each cell followed by ","; the address file is
// one IP address per line and reads back as an address list of a TCP/IP search ("File<path>").
#include <string>
#include <string_view>
#include <vector>

namespace app {

class DeviceListModel;

inline constexpr const char* kDefaultAddressFileName = "kdv_addr.txt";  // 8015
inline constexpr int kExportCellChars = 31;
// Result codes of the two writers.
inline constexpr int kExportOk = 0;
inline constexpr int kExportCannotCreate = -1;  // reported as 5024 "Cannot open the requested file."

// One cell as written: cut to 31 characters (never inside a UTF-8 sequence), then quoted as CSV
// quotes when it holds ",", a quote or a line end, so that a name with a comma reads back whole.
std::string exportCell(std::string_view text);

// The whole text of each file, lines ended by CR LF. The list file's last row has neither its
// final "," nor a line end; an empty list gives the header line with its line end.
std::string listFileText(const DeviceListModel& list);
// Each print server once: only the first row of a server is taken (every port row after it is
// skipped), an address equal to the line before and the unconfigured defaults "198.102.102.254",
// "192.0.0.192" and "0.0.0.0" are left out.
std::string addressFileText(const DeviceListModel& list);
// The addresses of that file, in list order, without line ends.
std::vector<std::string> listedAddresses(const DeviceListModel& list);

// Writes the file atomically; kExportOk, or kExportCannotCreate when it cannot be written (the
// old file, if any, is left as it was).
int saveList(const DeviceListModel& list, const std::string& path);
int saveIpAddresses(const DeviceListModel& list, const std::string& path);

// The Save dialog's default file name for "Save List to File...": the view name and ".txt".
std::string defaultListFileName(std::string_view viewName);
// True for the addresses a print server has before it is given one.
bool isUnconfiguredAddress(std::string_view address);

}  // namespace app
