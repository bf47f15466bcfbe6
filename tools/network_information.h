#pragma once
// What the "Network Information" dialog shows: one label and one text per field, taken from
// the network record. The dialog only shows the record; it never probes again.
#include <string>
#include <vector>

class CNetEnvironment;

struct NetworkInformationField {
  std::string label;  // "Host Name:"
  std::string text;   // "Unknown" until the record has a text for it
};

class CNetworkInformation {
 public:
  static constexpr const char* kTitle = "Network Information";
  static constexpr const char* kUnknown = "Unknown";
  static constexpr const char* kFalse = "False";

  explicit CNetworkInformation(const CNetEnvironment& environment);

  // In dialog order: the six texts, then the four yes/no fields.
  const std::vector<NetworkInformationField>& fields() const { return fields_; }
  // The text of the field with this label, or nullptr.
  const std::string* text(const std::string& label) const;

 private:
  std::vector<NetworkInformationField> fields_;
};
