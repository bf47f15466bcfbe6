// libfennick.so: the NetWare adapter. Every export forwards its slots unchanged to the client
// function it names and returns that function's result; ordinals 1 and 6 add a little logic.
// No state: nothing here outlives a call.
#include "fennick/fennick_exports.h"

#define FNK_EXPORT extern "C" __attribute__((visibility("default")))

// The client functions, resolved by the loader from the client libraries this one needs.
#define FNK_DECLARE_CLIENT(lib, ord, n) extern "C" FnkResult lib##_##ord(FNK_PARAMS_##n);
NWCLIENT_ALL(FNK_DECLARE_CLIENT)

#define FNK_FORWARD(ord, n, lib, target) \
  FNK_EXPORT FnkResult fnk_##ord(FNK_PARAMS_##n) { return lib##_##target(FNK_ARGS_##n); }
FENNICK_FORWARDS(FNK_FORWARD)

// FnkInitClient: the client's initialisation with two zero slots, as 1 (ready) or 0.
FNK_EXPORT FnkResult fnk_1(void) { return calwin32_377(0, 0) == 0 ? 1u : 0u; }

// FnkListConnections(ignored, connection array, capacity, 16-bit count out): walks the client's
// connection table and keeps the reference of each entry whose information can be read, never
// more than the caller's capacity. The end of the table is success.
FNK_EXPORT FnkResult fnk_6(FnkSlot, FnkSlot array, FnkSlot capacity, FnkSlot count) {
  auto* slots = reinterpret_cast<uint32_t*>(array);
  auto* filled = reinterpret_cast<uint16_t*>(count);
  const uint32_t room = static_cast<uint16_t>(capacity);
  *filled = 0;
  uint32_t iterator = 0;
  uint32_t n = 0;
  FnkResult code;
  for (;;) {
    uint32_t reference = 0;
    code = clxwin32_113(reinterpret_cast<FnkSlot>(&iterator), reinterpret_cast<FnkSlot>(&reference));
    if (code != 0) break;
    uint32_t value = 0;
    if (clxwin32_102(reference, 2, 0, reinterpret_cast<FnkSlot>(&value)) == 0 && n < room) slots[n++] = value;
  }
  *filled = static_cast<uint16_t>(n);
  return code == FNK_END_OF_CONNECTIONS ? 0u : (code & 0xFFFFu);
}
