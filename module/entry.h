#pragma once
// The host entry point and the life of one host call.

#include <windows.h>

#include "module/plugin_state.h"
#include "platform/call_record.h"

namespace korvane {

// The record of the host call in progress; null between calls.
ExternCallRecord* currentCallRecord();

// The module's own instance handle, as the host passed it.
HINSTANCE pluginInstance();

// The state created at start-up; null before it and after shutdown.
PluginState* pluginState();

}  // namespace korvane
