#pragma once
// A stand-in for the host's memory and result handle, for tests that run the
// portable core without the Win32 entry point; a test's Call points at it.

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "core/host_services.h"

namespace korvane::test {

class FakeHost final : public HostServices {
  public:
    FakeHost() = default;
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    Status storeResult(const char* text, size_t length) override {
        result = std::string(text, length);
        ++storeCount;
        return kNoErr;
    }
    char* newPointer(int32_t size) override {
        if (failNextPointer) {
            failNextPointer = false;
            lastError = kOutOfMemory;
            return nullptr;
        }
        lastError = kNoErr;
        ++livePointers;
        return static_cast<char*>(std::malloc(size > 0 ? static_cast<size_t>(size) : 1));
    }
    void disposePointer(char* pointer) override {
        --livePointers;
        std::free(pointer);
        lastError = kNoErr;
    }
    Status memoryError() override { return lastError; }

    std::optional<std::string> result;
    int storeCount = 0;
    int livePointers = 0;
    bool failNextPointer = false;
    Status lastError = kNoErr;
};

}  // namespace korvane::test
