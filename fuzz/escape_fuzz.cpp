// Escaping for results: every escaped text must read back through the parameter reader as
// the text it came from.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "core/args.h"
#include "core/result_text.h"
#include "fuzz/fuzz_text.h"
#include "platform/paths/path_text.h"

namespace {

// Whether every lead byte is followed by a second byte of Shift-JIS (0x40..0x7E, 0x80..0xFC).
// The reader takes any byte after a lead byte as its second byte but for the closing quote,
// so a lead byte before an apostrophe, or at the very end, cannot be read back; no name or
// path in code page 932 holds one.
bool isWholeShiftJis(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (korvane::isLeadByte(static_cast<unsigned char>(*p))) {
            const auto second = static_cast<unsigned char>(p[1]);
            if (second < 0x40 || second == 0x7F || second > 0xFC) {
                return false;
            }
            ++p;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvane;
    fuzzing::FuzzText text(data, size);
    const char* t = text.get();
    for (size_t capacity : {size_t{4}, kPathResultCapacity, size_t{4096}}) {
        std::unique_ptr<char[]> out(new char[capacity]);
        formatPathResult(t, out.get(), capacity);
        if (escapeWholeText(t, out.get(), capacity) && isWholeShiftJis(t)) {
            // K='<escaped>' reads back as K with the original text as its value.
            std::string parameter = "K='" + std::string(out.get()) + "'";
            std::unique_ptr<char[]> names(new char[parameter.size() + 1]);
            Arguments args;
            if (args.start(parameter.data(), names.get()) == kNoErr) {
                const char* value = args.tagValue("K");
                if (value == nullptr || std::strcmp(value, t) != 0) {
                    __builtin_trap();
                }
            }
        }
    }
    LocalText<kMaxShortText> quoted;
    textAppendQuoted(quoted, "K", t);
    char escaped[kMaxShortText + 1] = {};
    std::strncpy(escaped, t, kMaxShortText);
    escapeText(escaped);
    return 0;
}
