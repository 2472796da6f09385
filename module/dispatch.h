#pragma once
// Running one external call: prepare, the handler once per command, finish, and the
// error reply when the status is not 0.

#include <cstdint>

#include "core/status.h"
#include "module/function_table.h"

namespace korvane {

// Runs function `number` of `table` over the parameter text already started with
// Arguments::start(), handing `call` to its handler. On failure the error reply is
// stored as the call's result.
Status runExternalFunction(const FunctionEntry* table, int32_t number, Call& call);

// Builds and stores "ERROR=status [MESSAGE='...'] [ARGS=n]" as the call's result. `parsed`
// is false when the parameter text could not even be fetched: then no command can be named.
void storeErrorReply(Call& call, Status status, bool parsed = true);

}  // namespace korvane
