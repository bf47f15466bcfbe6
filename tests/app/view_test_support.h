#pragma once
// Shared pieces of the view tests: a scratch settings store, a way to make its writes fail, and
// a discovery factory that needs no network.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/view_discovery.h"
#include "app/view_node.h"
#include "platform/registry.h"
#include "scratch_dir.h"

// Every write of the store fails while this lives: its lock file is a folder, which nobody (root
// included) can open for writing. Reads keep working from the copy loaded last.
class FailingWrites {
 public:
  explicit FailingWrites(const std::string& storeFile) : lock_(storeFile + ".lock") {
    std::filesystem::remove(lock_);
    std::filesystem::create_directory(lock_);
  }
  ~FailingWrites() {
    std::error_code ec;
    std::filesystem::remove_all(lock_, ec);
  }

 private:
  std::filesystem::path lock_;
};

// Counts the discoveries made and destroyed; types 6 to 8 have one, 9 (IPX) none.
struct FakeDiscoveryFactory final : app::ViewDiscoveryFactory {
  struct Fake final : app::ViewDiscovery {
    explicit Fake(FakeDiscoveryFactory& f, int t) : factory(f), type(t) { ++factory.alive; }
    ~Fake() override { --factory.alive; }
    std::vector<const devices::CDevice*> foundDevices() const override { return found; }
    FakeDiscoveryFactory& factory;
    std::vector<const devices::CDevice*> found;
    int type;
  };
  std::unique_ptr<app::ViewDiscovery> create(int viewType) override {
    requested.push_back(viewType);
    if (viewType < app::kNodeTcpIpView || viewType > app::kNodeSerialView) return nullptr;
    ++made;
    return std::make_unique<Fake>(*this, viewType);
  }
  std::vector<int> requested;
  int made = 0;
  int alive = 0;
};

struct ViewStore {
  ScratchDir dir;
  std::string file = dir.file("Trellan.reg");
  std::vector<std::string> storeProblems;
  platform::Registry reg{file, [this](const std::string& m) { storeProblems.push_back(m); }};
};
