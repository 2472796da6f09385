#include "core/tag_functions.h"

#include <cstring>

#include "core/args.h"
#include "core/result_text.h"

namespace korvane {
namespace {

constexpr const char* kPathArgumentNames[] = {"SRC", "DEST", "PATH", "LOCATION", "ORIGINAL", "APP", "DOC"};

// The first tag is a bare word naming itself: asking for it answers nothing.
bool isBareFirstTag(const Arguments& args, const char* name, const char* value) {
    const char* first = args.tagName(1);
    return first != nullptr && compareNoCase(first, name) == 0 && value == first;
}

}  // namespace

bool isPathArgumentName(const char* name) {
    for (const char* pathName : kPathArgumentNames) {
        if (compareNoCase(pathName, name) == 0) {
            return true;
        }
    }
    return false;
}

Status tagHandler(Call& call) {
    const Arguments& args = call.args();
    const char* name = args.tagValue("TAG");
    if (name == nullptr) {
        name = args.argAt(1);
    }
    if (name == nullptr) {
        return kNoErr;
    }
    const char* value = args.tagValue(name);
    if (value == nullptr || isBareFirstTag(args, name, value)) {
        return kNoErr;
    }
    if (isPathArgumentName(name)) {
        // A path read back from an earlier result keeps the escaped form it had there.
        char escaped[kMaxShortText + 1];
        std::strncpy(escaped, value, kMaxShortText);
        escaped[kMaxShortText] = '\0';
        escapeText(escaped);
        call.setResult(escaped);
    } else {
        call.setResult(value);
    }
    return kNoErr;
}

Status tagListHandler(Call& call) {
    const Arguments& args = call.args();
    const int count = args.tagCount();
    if (count == 0) {
        return kNoErr;
    }
    int32_t size = 0;
    for (int i = 1; i <= count; ++i) {
        size += static_cast<int32_t>(std::strlen(args.tagName(i))) + 1;
    }
    HostServices* host = call.host;
    if (host == nullptr) {
        return kParamErr;
    }
    char* text = host->newPointer(size);
    if (Status error = host->memoryError(); error != kNoErr || text == nullptr) {
        return error != kNoErr ? error : kOutOfMemory;
    }
    char* cursor = text;
    for (int i = 1; i <= count; ++i) {
        const size_t length = std::strlen(args.tagName(i));
        std::memcpy(cursor, args.tagName(i), length);
        cursor += length;
        *cursor++ = ' ';
    }
    cursor[-1] = '\0';  // the last separator becomes the terminator
    const Status status = call.setResult(text);
    host->disposePointer(text);
    return status;
}

}  // namespace korvane
