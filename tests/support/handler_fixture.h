#pragma once
// Runs a handler on a parameter text the way the dispatcher does, without a host:
// the text is held as the entry point holds it (ParameterText), the handler runs once
// per command while the status stays 0, and a FakeHost keeps the stored result.
//
//   korvane::test::HandlerRun run = korvane::test::runHandler(calcRectHandler, "0,0,100,50 WIDTH");
//   EXPECT_EQ(run.status, 0);
//   EXPECT_EQ(run.result, "100");

#include <string>

#include "core/args.h"
#include "core/status.h"
#include "module/function_table.h"
#include "tests/support/fake_host.h"
#include "tests/support/parameter_text.h"

namespace korvane::test {

struct CommandRun {
    Status status = kNoErr;
    int commands = 0;  // how many times the handler ran
};

// Runs `handler` on `text` with `call` (whose host the test has chosen).
inline CommandRun runCommands(Handler handler, const std::string& text, Call& call) {
    ParameterText parsed(text);
    call.arguments = &parsed;
    CommandRun run;
    run.status = parsed.startStatus();
    if (run.status != kNoErr) {
        return run;
    }
    do {
        ++run.commands;
        run.status = handler(call);
    } while (run.status == kNoErr && parsed.nextCommand());
    call.arguments = nullptr;
    return run;
}

struct HandlerRun {
    Status status = kNoErr;
    int commands = 0;
    bool stored = false;  // whether any command stored a result
    std::string result;   // the last stored result
    int storeCount = 0;
};

// Runs `handler` on `text` as one external call, with a FakeHost of its own as the
// call's host.
inline HandlerRun runHandler(Handler handler, const std::string& text, Call call = {}) {
    FakeHost host;
    call.host = &host;
    const CommandRun commandRun = runCommands(handler, text, call);
    HandlerRun run;
    run.status = commandRun.status;
    run.commands = commandRun.commands;
    run.stored = host.result.has_value();
    run.result = host.result.value_or("");
    run.storeCount = host.storeCount;
    return run;
}

}  // namespace korvane::test
