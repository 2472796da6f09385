#pragma once
// Running one external call: prepare, the handler once per command, finish, and the
// error reply when the status is not 0.

#include <cstdint>

#include "core/status.h"
#include "module/function_table.h"

namespace korvane {

// Runs function `number` of `table` over the parameter text already started with
// startParameterText(). `state` may be null. On failure the error reply is stored.
Status runExternalFunction(const FunctionEntry* table, int32_t number, PluginState* state);

// Builds and stores "ERROR=status [MESSAGE='...'] [ARGS=n]". `parsed` is false when the
// parameter text could not even be fetched: then no command can be named.
void storeErrorReply(Status status, bool parsed = true);

}  // namespace korvane
