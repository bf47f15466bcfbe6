#pragma once
// The community-name verification the commands run before they talk to a print server: the
// stored GET and SET communities are compared with the ones the print server reported, and the
// "Invalid Community Name" dialog asks for each that differs. GUI-free: the dialog is a callback.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "access/snmp_target.h"

namespace snmpaccess {

// Results of the verification and of one dialog.
inline constexpr int kCommunityReadWrite = 1;  // also the dialog's OK
inline constexpr int kCommunityCancelled = 2;  // also the dialog's Cancel
inline constexpr int kCommunityReadOnly = 1001;  // also the dialog's Ignore

// The edit box takes at most 31 characters.
inline constexpr std::size_t kCommunityEditLimit = 31;

// Text ids of the dialog.
inline constexpr std::uint32_t kTextSetCommunityInvalid = 5029;
inline constexpr std::uint32_t kTextGetCommunityInvalid = 5030;
inline constexpr std::uint32_t kTextCommunityTitle = 42100;   // "Invalid Community Name"
inline constexpr std::uint32_t kTextCommunityNote = 42101;
inline constexpr std::uint32_t kTextOk = 42102;
inline constexpr std::uint32_t kTextCancel = 42103;
inline constexpr std::uint32_t kTextIgnore = 42104;
inline constexpr std::uint32_t kTextHelp = 42105;

// What one dialog shows; on OK the dialog leaves the entered text in `text`.
struct CommunityQuestion {
  std::string prompt;
  std::string text;
  bool ignoreVisible = true;
};

// Shows the dialog; returns 1 (OK), 2 (Cancel or closed) or 1001 (Ignore).
using CommunityAsk = std::function<int(CommunityQuestion&)>;

// Ignore is offered only for the SET question: hidden whenever the prompt contains "GET".
bool ignoreVisibleFor(std::string_view prompt);
// The question for a prompt and a starting text (cut to the edit limit).
CommunityQuestion makeQuestion(std::string_view prompt, std::string_view text);

// Runs the GET phase, then the SET phase. Returns 2 when cancelled, 1001 for read-only use (no
// SET community, or Ignore), 1 for read and write. Accepted texts are written into the target.
// No dialog appears when the stored communities already match.
int verifyCommunities(SnmpTarget& target, std::string_view reportedGet, std::string_view reportedSet,
                      const CommunityAsk& ask);

}  // namespace snmpaccess
