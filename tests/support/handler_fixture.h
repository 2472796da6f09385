#pragma once
// Runs a handler on a parameter text the way the dispatcher does, without a host:
// a fake HostServices keeps the stored result, the text is parsed in a buffer of twice
// its length plus 2, and the handler runs once per command while the status stays 0.
//
//   korvane::testing::HandlerRun run = korvane::testing::runHandler(calcRectHandler, "0,0,100,50 WIDTH");
//   EXPECT_EQ(run.status, 0);
//   EXPECT_EQ(run.result, "100");

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/args.h"
#include "core/function_table.h"
#include "core/host_services.h"
#include "core/status.h"

namespace korvane::testing {

// Keeps what the handler stored; `storeStatus` lets a test make the store fail.
class FakeHost : public HostServices {
  public:
    Status storeResult(const char* text, size_t length) override {
        ++storeCount;
        if (storeStatus != kNoErr) {
            return storeStatus;
        }
        result.assign(text, length);
        stored = true;
        return kNoErr;
    }
    char* newPointer(int32_t size) override { return size < 0 ? nullptr : new char[static_cast<size_t>(size)]; }
    void disposePointer(char* pointer) override { delete[] pointer; }
    Status memoryError() override { return kNoErr; }

    std::string result;
    bool stored = false;
    int storeCount = 0;
    Status storeStatus = kNoErr;
};

// Makes `host` the current host for its lifetime.
class ScopedHost {
  public:
    explicit ScopedHost(HostServices* host) : previous_(currentHost()) { setCurrentHost(host); }
    ~ScopedHost() { setCurrentHost(previous_); }
    ScopedHost(const ScopedHost&) = delete;
    ScopedHost& operator=(const ScopedHost&) = delete;

  private:
    HostServices* previous_;
};

// Holds a parsed parameter text (its first command) for tests of the accessors and readers.
class ParsedText {
  public:
    explicit ParsedText(std::string_view text) : buffer_(2 * text.size() + 2, '\0') {
        std::memcpy(buffer_.data(), text.data(), text.size());
        status_ = startParameterText(buffer_.data(), buffer_.data() + text.size() + 1);
    }
    ~ParsedText() { endParameterText(); }
    ParsedText(const ParsedText&) = delete;
    ParsedText& operator=(const ParsedText&) = delete;

    Status status() const { return status_; }

  private:
    std::vector<char> buffer_;
    Status status_ = kNoErr;
};

struct HandlerRun {
    Status status = kNoErr;
    bool stored = false;  // whether any command stored a result
    std::string result;   // the last stored result
    int commands = 0;     // how many times the handler ran
};

// Runs `handler` on `text` as one external call. `host` may be given to make stores fail
// or to look at them afterwards.
inline HandlerRun runHandler(Handler handler,
                             std::string_view text,
                             CallContext context = {},
                             FakeHost* host = nullptr) {
    FakeHost localHost;
    FakeHost& fake = host != nullptr ? *host : localHost;
    ScopedHost scope(&fake);

    HandlerRun run;
    {
        ParsedText parsed(text);
        run.status = parsed.status();
        if (run.status == kNoErr) {
            do {
                ++run.commands;
                run.status = handler(context);
            } while (run.status == kNoErr && nextCommand());
        }
    }
    run.stored = fake.stored;
    run.result = fake.result;
    return run;
}

}  // namespace korvane::testing
