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

void readEverything(const Arguments& args) {
    for (int i = 0; i <= args.argCount() + 1; ++i) {
        int32_t number = 0;
        int32_t list[kListMax];
        args.argAt(i);
        args.argNumber(i, &number);
        args.argNumberList(i, list, kListMax);
    }
    for (int i = 0; i <= args.tagCount() + 1; ++i) {
        const char* name = args.tagName(i);
        if (name == nullptr) {
            continue;
        }
        char buffer[256];
        int32_t number = 0;
        int32_t list[kListMax];
        uint32_t codes[kListMax];
        uint32_t code = 0;
        DateTime when;
        args.tagValue(name);
        args.tagText(name, buffer, static_cast<int>(sizeof buffer) - 1);
        args.tagText(name, buffer, 3);
        args.tagNumber(name);
        args.tagNumberChecked(name, &number);
        args.tagNumberOrPercent(name, 250);
        args.tagNumberList(name, list, kListMax);
        args.tagBool(name, true);
        args.tagKeyword(name, "ONE,TWO,THREE");
        args.tagCode(name, &code);
        args.tagCodeList(name, codes, kListMax);
        args.tagDateTime(name, name, &when);
    }
    for (const char* name : kNames) {
        args.tagValue(name);
    }
    args.hasTextAfterCurrentCommand();
    args.commandIndex();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzText text(data, size);
    const size_t length = std::strlen(text.get());
    std::unique_ptr<char[]> names(new char[length + 1]);
    Arguments args;
    if (args.start(text.get(), names.get()) == kNoErr) {
        do {
            readEverything(args);
        } while (args.nextCommand());
    }
    args.status();
    args.end();
    return 0;
}
