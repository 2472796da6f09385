#pragma once
// The host entry point, FMExternCallProc (declared with the call record), and the life
// of one host call: start-up makes the PluginState, shutdown destroys it, and each
// external call runs its function over a Call made for it.

#include <windows.h>

#include "module/plugin_state.h"
#include "platform/call_record.h"
