#include "snmp/serial_line_double.h"

#include <algorithm>
#include <chrono>

namespace snmp::serial {

// The host end. Only one of the cable's lines should be open at a time, as with a real port.
class CableLine final : public SerialLine {
 public:
  explicit CableLine(std::shared_ptr<SerialCable> cable) : cable_(std::move(cable)) {}
  ~CableLine() override { close(); }

  bool open(OpenMode mode) override {
    {
      std::lock_guard lock(cable_->mutex_);
      if (cable_->faults_.failOpen || cable_->open_) return false;
      cable_->open_ = true;
      cable_->mode_ = mode;
      cable_->opens_++;
      cable_->breaks_ = 0;
      cable_->breakOn_ = false;
      cable_->events_.clear();
      open_ = true;
    }
    cable_->notify();
    return true;
  }

  bool close() override {
    if (!open_) return true;
    open_ = false;
    bool ok;
    {
      std::lock_guard lock(cable_->mutex_);
      cable_->open_ = false;
      cable_->breakOn_ = false;
      ok = !cable_->faults_.failClose;
    }
    cable_->notify();
    return ok;
  }

  bool isOpen() const override { return open_; }

  bool configure(const Settings& settings) override {
    std::lock_guard lock(cable_->mutex_);
    if (!open_ || cable_->faults_.failConfigure) return false;
    cable_->settings_ = settings;
    timeouts_ = settings.timeouts;
    return true;
  }

  LineIo write(const std::uint8_t* data, std::size_t size) override {
    LineIo io;
    {
      std::lock_guard lock(cable_->mutex_);
      if (!open_ || cable_->faults_.failWrite) return io;
      const std::size_t limit = cable_->faults_.writeLimit;
      const std::size_t room = limit > cable_->hostWritten_ ? limit - cable_->hostWritten_ : 0;
      io.bytes = std::min(size, room);
      cable_->toDevice_.insert(cable_->toDevice_.end(), data, data + io.bytes);
      cable_->hostWritten_ += io.bytes;
      io.ok = true;
    }
    cable_->notify();
    return io;
  }

  LineIo read(std::uint8_t* buffer, std::size_t size) override {
    LineIo io;
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(cable_->mutex_);
    if (!open_ || cable_->faults_.failRead) return io;
    const auto total = Clock::now() + timeouts_.readTotal(size);
    auto deadline = total;
    while (io.bytes < size) {
      if (!cable_->toHost_.empty()) {
        const std::size_t n = std::min(size - io.bytes, cable_->toHost_.size());
        std::copy_n(cable_->toHost_.begin(), n, buffer + io.bytes);
        cable_->toHost_.erase(cable_->toHost_.begin(), cable_->toHost_.begin() + static_cast<long>(n));
        io.bytes += n;
        deadline = std::min(total, Clock::now() + timeouts_.readInterval);
        continue;
      }
      if (cable_->changed_.wait_until(lock, deadline) == std::cv_status::timeout && cable_->toHost_.empty()) break;
    }
    io.ok = true;
    return io;
  }

  bool setBreak(bool on) override {
    {
      std::lock_guard lock(cable_->mutex_);
      if (!open_ || cable_->faults_.failBreak) return false;
      if (cable_->breakOn_ && !on) cable_->breaks_++;
      cable_->breakOn_ = on;
    }
    if (!on) cable_->notify();
    return true;
  }

  LineEvent waitEvent(Millis wait) override {
    std::unique_lock lock(cable_->mutex_);
    if (!open_ || cable_->mode_ != OpenMode::Events) return LineEvent::Failed;
    cable_->changed_.wait_for(lock, wait, [&] { return !cable_->events_.empty(); });
    if (cable_->events_.empty()) return LineEvent::None;
    const LineEvent e = cable_->events_.front();
    cable_->events_.pop_front();
    return e;
  }

  bool purgeReceive() override {
    std::lock_guard lock(cable_->mutex_);
    if (!open_) return false;
    cable_->toHost_.clear();
    cable_->purges_++;
    return true;
  }

 private:
  std::shared_ptr<SerialCable> cable_;
  bool open_ = false;
  Timeouts timeouts_;
};

std::shared_ptr<SerialCable> SerialCable::create() { return std::shared_ptr<SerialCable>(new SerialCable()); }

std::unique_ptr<SerialLine> SerialCable::hostLine() { return std::make_unique<CableLine>(shared_from_this()); }

void SerialCable::notify() {
  changed_.notify_all();
  Listener listener;
  {
    std::lock_guard lock(mutex_);
    listener = listener_;
  }
  if (listener) listener(*this);
}

void SerialCable::setListener(Listener listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

std::vector<std::uint8_t> SerialCable::takeFromHost() {
  std::lock_guard lock(mutex_);
  std::vector<std::uint8_t> out(toDevice_.begin(), toDevice_.end());
  toDevice_.clear();
  return out;
}

std::size_t SerialCable::readFromHost(std::uint8_t* buffer, std::size_t size, Millis wait) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, wait, [&] { return toDevice_.size() >= size; });
  const std::size_t n = std::min(size, toDevice_.size());
  std::copy_n(toDevice_.begin(), n, buffer);
  toDevice_.erase(toDevice_.begin(), toDevice_.begin() + static_cast<long>(n));
  return n;
}

void SerialCable::sendToHost(const std::uint8_t* data, std::size_t size) {
  {
    std::lock_guard lock(mutex_);
    toHost_.insert(toHost_.end(), data, data + size);
  }
  changed_.notify_all();
}

void SerialCable::sendBreak() {
  {
    std::lock_guard lock(mutex_);
    events_.push_back(LineEvent::Break);
  }
  changed_.notify_all();
}

void SerialCable::sendLineError() {
  {
    std::lock_guard lock(mutex_);
    events_.push_back(LineEvent::LineError);
  }
  changed_.notify_all();
}

int SerialCable::breaksFromHost() const {
  std::lock_guard lock(mutex_);
  return breaks_;
}

bool SerialCable::hostBreakOn() const {
  std::lock_guard lock(mutex_);
  return breakOn_;
}

bool SerialCable::hostOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

OpenMode SerialCable::hostMode() const {
  std::lock_guard lock(mutex_);
  return mode_;
}

int SerialCable::hostOpens() const {
  std::lock_guard lock(mutex_);
  return opens_;
}

std::size_t SerialCable::pendingToHost() const {
  std::lock_guard lock(mutex_);
  return toHost_.size();
}

int SerialCable::purges() const {
  std::lock_guard lock(mutex_);
  return purges_;
}

Settings SerialCable::lastSettings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

void SerialCable::setFaults(const Faults& faults) {
  std::lock_guard lock(mutex_);
  faults_ = faults;
}

SerialCable::Faults SerialCable::faults() const {
  std::lock_guard lock(mutex_);
  return faults_;
}

}  // namespace snmp::serial
