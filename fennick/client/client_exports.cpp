// One NetWare client library (libcalwin32.so, libclxwin32.so, ...): its functions by ordinal,
// each handing its slots to the client back end. Built once per library with NWCLIENT_LIST
// naming that library's table. Without a back end linked in, the result is the import library
// the adapter links against: it is never found at run time.
#include "fennick/client/client_backend.h"

#ifndef NWCLIENT_LIST
#error "NWCLIENT_LIST names the library's function table"
#endif

#define NWCLIENT_DEFINE(lib, ord, n)                                   \
  extern "C" __attribute__((visibility("default"))) FnkResult lib##_##ord(FNK_PARAMS_##n) { \
    const FnkSlot slots[10] = {FNK_ARGS_##n};                          \
    return nwclient_call(#lib, ord, slots, n);                         \
  }
NWCLIENT_LIST(NWCLIENT_DEFINE)
