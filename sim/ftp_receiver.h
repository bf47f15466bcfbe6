#pragma once
// The FTP side of the simulated wireless units: each unit that takes certificates listens on its
// own address and accepts one upload at a time, the way the firmware does: user " " (one space)
// and the device password, binary STOR in passive mode. What arrives is kept in a folder per
// unit so that a test can compare it byte for byte.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace sim {

struct FtpUnit {
  std::uint32_t address = 0;  // host order
  std::string password;       // empty: any non-empty password
};

class FtpReceiver {
 public:
  // `storeDir` empty: files are received and dropped.
  FtpReceiver(std::vector<FtpUnit> units, std::uint16_t port, std::string storeDir);
  ~FtpReceiver();
  FtpReceiver(const FtpReceiver&) = delete;
  FtpReceiver& operator=(const FtpReceiver&) = delete;

  // Binds every unit's listener. A unit whose port is taken goes without FTP; its warning is
  // appended to `warnings`. Returns the number of listeners open.
  std::size_t open(std::vector<std::string>& warnings);
  // Serves on a thread of its own until stop() or destruction.
  void start();
  void stop();

 private:
  void run();
  void serve(int control, const FtpUnit& unit);

  std::vector<FtpUnit> units_;
  std::vector<int> listeners_;  // parallel to units_; -1 when not bound
  std::uint16_t port_;
  std::string storeDir_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace sim
