#include "access/community_check.h"

#include "platform/string_table.h"

namespace snmpaccess {
namespace {

std::string textOf(std::uint32_t id) {
  const char* s = platform::loadString(id);
  return s ? s : "";
}

// Asks until the entered text equals the reported one. Returns 1 when it does, otherwise the
// dialog's result.
int askUntilMatch(char* field, std::size_t size, std::string_view reported, std::uint32_t promptId,
                  const CommunityAsk& ask) {
  std::string current(field);
  while (current != reported) {
    CommunityQuestion q = makeQuestion(textOf(promptId), current);
    const int r = ask ? ask(q) : kCommunityCancelled;
    if (r != kCommunityReadWrite) return r;
    current = q.text.substr(0, kCommunityEditLimit);
    copyBounded(field, size, current);
  }
  return kCommunityReadWrite;
}

}  // namespace

bool ignoreVisibleFor(std::string_view prompt) { return prompt.find("GET") == std::string_view::npos; }

CommunityQuestion makeQuestion(std::string_view prompt, std::string_view text) {
  CommunityQuestion q;
  q.prompt = std::string(prompt);
  q.text = std::string(text.substr(0, kCommunityEditLimit));
  q.ignoreVisible = ignoreVisibleFor(prompt);
  return q;
}

int verifyCommunities(SnmpTarget& target, std::string_view reportedGet, std::string_view reportedSet,
                      const CommunityAsk& ask) {
  // The GET phase knows no Ignore: without reading there is nothing to do.
  if (askUntilMatch(target.getCommunity, sizeof target.getCommunity, reportedGet, kTextGetCommunityInvalid, ask) !=
      kCommunityReadWrite)
    return kCommunityCancelled;
  if (target.setCommunity[0] == '\0') return kCommunityReadOnly;
  return askUntilMatch(target.setCommunity, sizeof target.setCommunity, reportedSet, kTextSetCommunityInvalid, ask);
}

}  // namespace snmpaccess
