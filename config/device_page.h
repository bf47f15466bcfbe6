#pragma once
// CDevicePage: what every configuration page does, whatever it shows. The sheet drives pages only
// through this contract, so a new page slots in without the sheet knowing its groups:
//   Read            read the page's groups from the print server
//   AdjustControls  decide which controls exist for what the print server reports
//   ShowValues      copy the group values into the page's fields (only once the page is opened)
//   LoadFromFile    take the page's backup-file sections into its groups (restore)
//   Save            opened: fields into the groups; then SET what changed
//   SaveToFile      write the page's groups to the backup file
// The page's "controls" are plain fields of the model; the Qt page mirrors them.
#include <string>
#include <vector>

#include "access/mib_group.h"
#include "access/snmp_session.h"

namespace config {

// The outcome of a page's leave check: empty message means the page may be left.
struct PageCheck {
  std::string message;
  std::string field;  // the field that gets the focus
  bool ok() const { return message.empty(); }
  static PageCheck pass() { return {}; }
  static PageCheck fail(std::string text, std::string field) { return {std::move(text), std::move(field)}; }
};

class CDevicePage {
 public:
  virtual ~CDevicePage() = default;

  virtual const char* title() const = 0;

  virtual int Read(snmpaccess::CSnmpSession& session) = 0;
  // Pages with a port choice record the port to preselect first.
  virtual int Read(snmpaccess::CSnmpSession& session, int port) {
    port_ = port;
    return Read(session);
  }
  virtual void AdjustControls() {}
  virtual void ShowValues() {}
  virtual int LoadFromFile(const std::string& path);
  virtual int Save(snmpaccess::CSnmpSession& session);
  // By default every group of groups() writes its sections; errors do not stop the others.
  virtual int SaveToFile(const std::string& path) { return saveGroupsToFile(path); }

  // The leave-page check (also run on OK while the page is the current one).
  virtual PageCheck check() { return PageCheck::pass(); }

  // The page window is created: initialised, then AdjustControls, then ShowValues.
  void open();
  bool initialised() const { return initialised_; }
  // The fields into the groups without writing (what Save would send shows in the groups'
  // changed flags); only an opened page has fields to store.
  void stage() {
    if (initialised_) storeFields();
  }
  // The groups the page writes, in the order Save writes them.
  virtual std::vector<snmpaccess::CMibGroup*> groups() { return {}; }
  int restored() const { return restored_; }
  int port() const { return port_; }

 protected:
  // Copies the fields into the groups (set if changed); runs at Save when the page was opened.
  virtual void storeFields() {}
  // SETs the changed variables of the page's groups; the first non-zero error is the result.
  virtual int writeGroups(snmpaccess::CSnmpSession& session) = 0;
  // The restore's part of LoadFromFile: the page's sections into its groups.
  virtual int loadGroups(const std::string& path) { return loadGroupsFromFile(path); }
  // Every group of groups() to / from the file; all are processed, the first error is the result.
  int saveGroupsToFile(const std::string& path);
  int loadGroupsFromFile(const std::string& path);
  void noteRestored() { ++restored_; }

 private:
  bool initialised_ = false;
  int restored_ = 0;
  int port_ = 0;
};

}  // namespace config
