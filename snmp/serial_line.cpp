#include "snmp/serial_line.h"

#include <mutex>

#include "platform/serial_path.h"
#include "snmp/serial_line_termios.h"

namespace snmp::serial {
namespace {

std::mutex gMutex;
LineFactory gFactory;
const platform::Registry* gRegistry = nullptr;
Timings gTimings;

}  // namespace

void setLineFactory(LineFactory factory) {
  std::lock_guard lock(gMutex);
  gFactory = std::move(factory);
}

void setPortRegistry(const platform::Registry* registry) {
  std::lock_guard lock(gMutex);
  gRegistry = registry;
}

std::unique_ptr<SerialLine> makeLine(const char* portName) {
  LineFactory factory;
  const platform::Registry* registry = nullptr;
  {
    std::lock_guard lock(gMutex);
    factory = gFactory;
    registry = gRegistry;
  }
  if (!portName) return nullptr;
  if (factory) return factory(portName);
  const auto path = platform::serialDevicePath(portName, registry);
  if (!path) return nullptr;
  return std::make_unique<TermiosSerialLine>(*path);
}

void setTimings(const Timings& timings) {
  std::lock_guard lock(gMutex);
  gTimings = timings;
}

Timings timings() {
  std::lock_guard lock(gMutex);
  return gTimings;
}

Settings portSettings() {
  Settings settings;
  settings.timeouts = timings().port;
  return settings;
}

}  // namespace snmp::serial
