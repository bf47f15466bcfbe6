#pragma once
// The search of a serial view (protocol 8): each listed port ("COM1".."COM9") is asked once, in
// order, and its device is listed whether it answered or not ("No Response"). The list is asked
// whatever ListBuild says; there is no local search, and findOrAdd looks only among the found.
#include <memory>

#include "devices/discovery.h"

namespace devices {

class CSerialDiscovery : public CDiscovery {
 public:
  explicit CSerialDiscovery(platform::MessageTarget* owner = nullptr,
                            std::unique_ptr<snmpaccess::ProgressWindow> progress = nullptr);
  ~CSerialDiscovery() override;

  int findOrAdd(std::string_view text) override { return CDiscovery::findOrAdd(text); }

 protected:
  int runSearch(const SearchRequest& request, bool extraColumns) override;
  // Only the per-port columns are read over a serial line.
  bool wantsExtraColumns(const SearchRequest& request, bool onWorker) const override;
};

}  // namespace devices
