// The tokenizer and every accessor on any parameter text.

#include <cstdint>
#include <cstring>
#include <memory>

#include "core/args.h"
#include "fuzz/fuzz_text.h"

namespace {

using namespace korvane;

constexpr const char* kNames[] = {"A", "PATH", "SRC", "DATE", "TIME", "K", "n"};
constexpr int kListMax = 8;

void readEverything() {
    for (int i = 0; i <= argCount() + 1; ++i) {
        int32_t number = 0;
        int32_t list[kListMax];
        argAt(i);
        argNumber(i, &number);
        argNumberList(i, list, kListMax);
    }
    for (int i = 0; i <= tagCount() + 1; ++i) {
        const char* name = tagName(i);
        if (name == nullptr) {
            continue;
        }
        char buffer[256];
        int32_t number = 0;
        int32_t list[kListMax];
        uint32_t codes[kListMax];
        uint32_t code = 0;
        DateTime when;
        tagValue(name);
        tagText(name, buffer, static_cast<int>(sizeof buffer) - 1);
        tagText(name, buffer, 3);
        tagNumber(name);
        tagNumberChecked(name, &number);
        tagNumberOrPercent(name, 250);
        tagNumberList(name, list, kListMax);
        tagBool(name, true);
        tagKeyword(name, "ONE,TWO,THREE");
        tagCode(name, &code);
        tagCodeList(name, codes, kListMax);
        tagDateTime(name, name, &when);
    }
    for (const char* name : kNames) {
        tagValue(name);
    }
    hasTextAfterCurrentCommand();
    commandIndex();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzText text(data, size);
    const size_t length = std::strlen(text.get());
    std::unique_ptr<char[]> names(new char[length + 1]);
    if (startParameterText(text.get(), names.get()) == kNoErr) {
        do {
            readEverything();
        } while (nextCommand());
    }
    parameterTextStatus();
    endParameterText();
    return 0;
}
