#pragma once
// CWzEtherTalkDlg: "Configure EtherTalk". One name and zone per output port; the port combo picks
// which port the two fields show.
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "wizard/wz_page.h"

namespace wizard {

inline constexpr std::size_t kEtherTalkTextLimit = 32;
inline constexpr const char* kTextEtherTalkTooLong = "Port names and zones take at most 32 characters.";

class CWzEtherTalkDlg : public CWzPage {
 public:
  explicit CWzEtherTalkDlg(std::string prefix);
  int id() const override { return kEtherTalkId; }
  const char* title() const override { return "Configure EtherTalk"; }

  int read(snmpaccess::CSnmpSession& session) override;

  int portCount() const { return static_cast<int>(names_.size()); }
  int selectedPort() const { return selected_; }  // 0-based
  // The shown texts go to the port shown, then port `index` is shown.
  void selectPort(int index);
  void setName(std::string text);
  void setZone(std::string text);
  const std::string& name() const { return name_; }
  const std::string& zone() const { return zone_; }
  const std::vector<std::string>& names() const { return names_; }
  const std::vector<std::string>& zones() const { return zones_; }

  PageCheck leave(bool forward) override;
  std::string GetChangeSummary() const override;
  int SaveChanges(snmpaccess::CSnmpSession& session) override;

 protected:
  void fill() override;

 private:
  void store();

  snmpaccess::CEtherTalkGroup group_;
  std::vector<std::string> names_, zones_;
  std::string name_, zone_;
  int selected_ = 0;
};

}  // namespace wizard
