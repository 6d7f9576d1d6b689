// Registered window messages: one number per name, the same for every caller in the process.
#pragma once

#include "WinTypes.h"

// Numbers from 0xC000 up, as registered messages have.
UINT RegisterWindowMessageA(const char* name);
