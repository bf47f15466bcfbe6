#pragma once
// CPjlPage without a display: asks the printer behind one output port of an IP print server for
// its status in Printer Job Language. One "&Send" opens a TCP connection to the port's raw
// printing port (with a time limit), sends one INFO request between Universal Exit Language
// sequences, collects the reply into the growing response log and closes again. Every wait is
// bounded: the first reply, each follow-up chunk, the number of chunks, the bytes of one reply.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace status {

inline constexpr std::size_t kPjlBufferSize = 1032;  // one request or one received chunk
inline constexpr std::uint16_t kDefaultRawPort = 9100;

struct PjlRequest {
  const char* item;  // as the "&Request:" list shows it
  const char* word;  // what is sent after "@PJL "
};
inline constexpr PjlRequest kPjlRequests[] = {
    {"Printer Configuration", "INFO CONFIG"}, {"Memory Available", "INFO MEMORY"},
    {"Printer Pagecount", "INFO PAGECOUNT"},   {"Environment Variables", "INFO VARIABLES"},
    {"Current Status", "INFO STATUS"},         {"Printer ID", "INFO ID"},
};
inline constexpr int kPjlRequestCount = 6;

namespace pjltexts {
inline constexpr const char* kIntroduction =
    "\r\nUse this interface to obtain additional printer status\r\nusing Printer Job Language (PJL) "
    "commands.\r\n\r\nPJL is not supported on all printers.";
inline constexpr const char* kNoPorts = "***** Error: Device reports no ports! *****";
inline constexpr const char* kNoPrinter = "No Printer Attached to Port %i";
inline constexpr const char* kCannotConnect = "Unable to connect to printer.  Port may be busy. (WS%i)";
inline constexpr const char* kCannotSend = "Unable to send PJL request. (WS%i)";
inline constexpr const char* kCannotReceive = "Unable to get response from printer. (WS%i)";
inline constexpr const char* kNoResponse = "No response from printer.  PJL status not available if a print job is active.";
inline constexpr const char* kSending = "Sending Request...";
inline constexpr const char* kSeparator = "\r\n- - - - - - -\r\n\r\n";
inline constexpr const char* kSaveTitle = "Save Printer PJL Data";
inline constexpr int kShortTransfer = 10040;  // a short send, a failed receive
}  // namespace pjltexts

// The limits of one "&Send".
struct PjlLimits {
  int connectMs = 5000;
  int replySeconds = 7;                 // GetTimeout / 100 + 2 with the default settings
  int followUpSeconds = 1;              // each further chunk
  int maxFollowUps = 256;               // chunks after the first
  int followUpTotalSeconds = 30;        // all further chunks together
  std::size_t maxReplyBytes = 256 * 1024;  // one reply in the log
};

// The wait for the first reply from the GetTimeout setting (hundredths of a second).
int pjlReplySeconds(std::uint32_t getTimeout);

class CPjlPage {
 public:
  CPjlPage();

  // Given by the sheet while it reads.
  void setIdentity(const std::string& systemName, const std::string& serialNumber);
  void setPort(int portIndex) { port_ = portIndex; }
  void setTarget(const std::string& address, std::uint16_t rawPortBase, std::vector<std::uint8_t> portStates);
  void setLimits(const PjlLimits& limits) { limits_ = limits; }
  // Where the page's message boxes go.
  void setMessageSink(std::function<void(const std::string&)> sink) { messageBox_ = std::move(sink); }

  // The page window is created: the port list, the introduction text, the buttons.
  void create();
  void selectPort(int portIndex);
  void selectRequest(int index) { request_ = index; }
  // Each time the page is brought to the front.
  void activate() { status_.clear(); }

  // "&Send": 0 when a reply was logged, else the failure (already shown).
  int send();
  // "&Clear".
  void clear() { response_.clear(); }
  // "Save &PJL": the file's text, and the write (atomic): 0 or 99 ("Cannot open the requested file.").
  std::string saveText(std::time_t when) const;
  int save(const std::string& path, std::time_t when) const;
  std::string defaultFileName() const;

  // The request of the selected item for the selected port ("" for an index out of range).
  std::string requestBytes() const;

  int portIndex() const { return port_; }
  int requestIndex() const { return request_; }
  int portCount() const { return static_cast<int>(states_.size()); }
  bool portListShown() const { return portCount() >= 2; }
  bool sendEnabled() const { return buttonsEnabled_; }
  bool saveEnabled() const { return buttonsEnabled_; }
  const std::string& message() const { return message_; }
  const std::string& statusText() const { return status_; }
  const std::string& response() const { return response_; }
  const std::string& address() const { return address_; }
  std::uint16_t rawPortBase() const { return rawPortBase_; }
  const std::vector<std::uint8_t>& portStates() const { return states_; }
  int lastError() const { return lastError_; }
  // Lines to scroll the log down after the last send (0: none).
  int scrollLines() const { return scroll_; }

 private:
  void updateButtons();
  void show(const char* format, int code);

  std::string response_;
  std::string status_;
  std::string message_;
  std::string systemName_;
  std::string serial_;
  std::string address_ = "000.000.000.000";
  std::uint16_t rawPortBase_ = kDefaultRawPort;
  std::vector<std::uint8_t> states_;
  PjlLimits limits_;
  std::function<void(const std::string&)> messageBox_;
  int port_ = 0;
  int request_ = 0;
  int lastError_ = 0;
  int scroll_ = 0;
  bool firstSend_ = true;
  bool buttonsEnabled_ = false;
};

}  // namespace status
