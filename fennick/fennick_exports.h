#pragma once
// The fixed entry set of the NetWare adapter: 67 exports named fnk_1 ... fnk_67, each a C
// function of 32-bit-result over argument slots. One slot holds one argument of any kind (an
// integer widened to the slot, or a pointer), so the adapter forwards a call without knowing
// what its arguments mean. The tables below are shared by the adapter, the client import
// libraries, the stand-in client and the binding, so that all of them agree on every count.
#include <stdint.h>

typedef uintptr_t FnkSlot;
typedef uint32_t FnkResult;

// Parameter and argument lists of 0 to 9 slots.
#define FNK_PARAMS_0 void
#define FNK_PARAMS_1 FnkSlot a1
#define FNK_PARAMS_2 FNK_PARAMS_1, FnkSlot a2
#define FNK_PARAMS_3 FNK_PARAMS_2, FnkSlot a3
#define FNK_PARAMS_4 FNK_PARAMS_3, FnkSlot a4
#define FNK_PARAMS_5 FNK_PARAMS_4, FnkSlot a5
#define FNK_PARAMS_6 FNK_PARAMS_5, FnkSlot a6
#define FNK_PARAMS_7 FNK_PARAMS_6, FnkSlot a7
#define FNK_PARAMS_8 FNK_PARAMS_7, FnkSlot a8
#define FNK_PARAMS_9 FNK_PARAMS_8, FnkSlot a9
#define FNK_ARGS_0
#define FNK_ARGS_1 a1
#define FNK_ARGS_2 FNK_ARGS_1, a2
#define FNK_ARGS_3 FNK_ARGS_2, a3
#define FNK_ARGS_4 FNK_ARGS_3, a4
#define FNK_ARGS_5 FNK_ARGS_4, a5
#define FNK_ARGS_6 FNK_ARGS_5, a6
#define FNK_ARGS_7 FNK_ARGS_6, a7
#define FNK_ARGS_8 FNK_ARGS_7, a8
#define FNK_ARGS_9 FNK_ARGS_8, a9

// Exports that forward unchanged: X(ordinal, slots, client library, client ordinal).
// Ordinals 1 and 6 have logic of their own; 17 enters its target directly (no slots).
#define FENNICK_FORWARDS(X)       \
  X(2, 2, calwin32, 377)          \
  X(3, 2, clxwin32, 113)          \
  X(4, 2, clxwin32, 109)          \
  X(5, 4, clxwin32, 115)          \
  X(7, 3, calwin32, 28)           \
  X(8, 1, calwin32, 15)           \
  X(9, 2, calwin32, 7)            \
  X(10, 9, calwin32, 27)          \
  X(11, 1, calwin32, 9)           \
  X(12, 4, calwin32, 212)         \
  X(13, 4, calwin32, 25)          \
  X(14, 2, calwin32, 60)          \
  X(15, 2, locwin32, 63)          \
  X(16, 1, netwin32, 1160)        \
  X(17, 0, locwin32, 58)          \
  X(18, 6, calwin32, 22)          \
  X(19, 8, calwin32, 19)          \
  X(20, 6, calwin32, 21)          \
  X(21, 5, calwin32, 31)          \
  X(22, 6, calwin32, 59)          \
  X(23, 2, calwin32, 8)           \
  X(24, 6, calwin32, 115)         \
  X(25, 3, calwin32, 158)         \
  X(26, 3, calwin32, 33)          \
  X(27, 5, calwin32, 76)          \
  X(28, 4, calwin32, 157)         \
  X(29, 5, calwin32, 18)          \
  X(30, 7, calwin32, 20)          \
  X(31, 6, calwin32, 29)          \
  X(32, 5, calwin32, 32)          \
  X(33, 6, calwin32, 23)          \
  X(34, 8, clxwin32, 125)         \
  X(35, 2, netwin32, 2031)        \
  X(36, 1, netwin32, 2014)        \
  X(37, 3, netwin32, 1003)        \
  X(38, 3, netwin32, 1004)        \
  X(39, 2, netwin32, 1093)        \
  X(40, 7, netwin32, 1028)        \
  X(41, 5, netwin32, 1046)        \
  X(42, 1, netwin32, 1002)        \
  X(43, 3, netwin32, 1031)        \
  X(44, 2, netwin32, 1006)        \
  X(45, 1, netwin32, 1007)        \
  X(46, 6, netwin32, 1141)        \
  X(47, 3, netwin32, 1011)        \
  X(48, 5, netwin32, 1014)        \
  X(49, 3, prtwin32, 33)          \
  X(50, 5, prtwin32, 42)          \
  X(51, 4, prtwin32, 49)          \
  X(52, 6, prtwin32, 136)         \
  X(53, 3, prtwin32, 137)         \
  X(54, 1, prtwin32, 138)         \
  X(55, 7, prtwin32, 125)         \
  X(56, 3, prtwin32, 126)         \
  X(57, 1, prtwin32, 127)         \
  X(58, 3, prtwin32, 131)         \
  X(59, 3, prtwin32, 34)          \
  X(60, 6, prtwin32, 45)          \
  X(61, 6, prtwin32, 46)          \
  X(62, 5, prtwin32, 52)          \
  X(63, 6, prtwin32, 139)         \
  X(64, 4, calwin32, 179)         \
  X(65, 5, prtwin32, 36)          \
  X(66, 5, netwin32, 3026)        \
  X(67, 4, netwin32, 3027)

// The client functions the adapter imports, per library: X(library, ordinal, slots).
#define NWCLIENT_CALWIN32(X)                                                                    \
  X(calwin32, 7, 2) X(calwin32, 8, 2) X(calwin32, 9, 1) X(calwin32, 15, 1) X(calwin32, 18, 5)   \
  X(calwin32, 19, 8) X(calwin32, 20, 7) X(calwin32, 21, 6) X(calwin32, 22, 6) X(calwin32, 23, 6) \
  X(calwin32, 25, 4) X(calwin32, 27, 9) X(calwin32, 28, 3) X(calwin32, 29, 6) X(calwin32, 31, 5) \
  X(calwin32, 32, 5) X(calwin32, 33, 3) X(calwin32, 59, 6) X(calwin32, 60, 2) X(calwin32, 76, 5) \
  X(calwin32, 115, 6) X(calwin32, 157, 4) X(calwin32, 158, 3) X(calwin32, 179, 4)                \
  X(calwin32, 212, 4) X(calwin32, 377, 2)
#define NWCLIENT_CLXWIN32(X) \
  X(clxwin32, 102, 4) X(clxwin32, 109, 2) X(clxwin32, 113, 2) X(clxwin32, 115, 4) X(clxwin32, 125, 8)
#define NWCLIENT_LOCWIN32(X) X(locwin32, 58, 0) X(locwin32, 63, 2)
#define NWCLIENT_NETWIN32(X)                                                                      \
  X(netwin32, 1002, 1) X(netwin32, 1003, 3) X(netwin32, 1004, 3) X(netwin32, 1006, 2)             \
  X(netwin32, 1007, 1) X(netwin32, 1011, 3) X(netwin32, 1014, 5) X(netwin32, 1028, 7)             \
  X(netwin32, 1031, 3) X(netwin32, 1046, 5) X(netwin32, 1093, 2) X(netwin32, 1141, 6)             \
  X(netwin32, 1160, 1) X(netwin32, 2014, 1) X(netwin32, 2031, 2) X(netwin32, 3026, 5)             \
  X(netwin32, 3027, 4)
#define NWCLIENT_PRTWIN32(X)                                                                     \
  X(prtwin32, 33, 3) X(prtwin32, 34, 3) X(prtwin32, 36, 5) X(prtwin32, 42, 5) X(prtwin32, 45, 6) \
  X(prtwin32, 46, 6) X(prtwin32, 49, 4) X(prtwin32, 52, 5) X(prtwin32, 125, 7) X(prtwin32, 126, 3) \
  X(prtwin32, 127, 1) X(prtwin32, 131, 3) X(prtwin32, 136, 6) X(prtwin32, 137, 3) X(prtwin32, 138, 1) \
  X(prtwin32, 139, 6)
#define NWCLIENT_ALL(X) \
  NWCLIENT_CALWIN32(X) NWCLIENT_CLXWIN32(X) NWCLIENT_LOCWIN32(X) NWCLIENT_NETWIN32(X) NWCLIENT_PRTWIN32(X)

// Codes the adapter's own logic knows.
#define FNK_END_OF_CONNECTIONS 0x8866u
