#pragma once
// Where the functions of the client libraries land: one entry point that gets the library
// ("calwin32", ...), the ordinal and the argument slots. The stand-in client implements it;
// tests implement it to record what arrives.
#include "fennick/fennick_exports.h"

extern "C" FnkResult nwclient_call(const char* library, int ordinal, const FnkSlot* slots, int count);
