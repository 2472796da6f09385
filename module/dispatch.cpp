#include "module/dispatch.h"

#include "core/args.h"
#include "core/result_text.h"
#include "platform/media/messages.h"

namespace korvane {
namespace {

constexpr int kFirstErrorList = 23000;
constexpr int kItemsPerList = 100;

const FunctionEntry* entryFor(const FunctionEntry* table, int32_t number) {
    if (number < 0 || number >= kFunctionCount) {
        return nullptr;
    }
    return &table[number];
}

Status prepare(const FunctionEntry* entry, Call& call) {
    if (entry == nullptr || entry->prepare == nullptr) {
        return kNoErr;
    }
    return entry->prepare(call);
}

Status run(const FunctionEntry* entry, Call& call) {
    if (entry == nullptr || entry->run == nullptr) {
        return kParamErr;
    }
    if (entry->missingState != 0 && call.state == nullptr) {
        return entry->missingState;
    }
    return entry->run(call);
}

Status finish(const FunctionEntry* entry, Status status, Call& call) {
    if (entry == nullptr || entry->finish == nullptr) {
        return status;
    }
    return entry->finish(status, call);
}

// The message for a negative status, as the media layer's string lists hold it.
void appendErrorMessage(WorkingText& reply, Status status) {
    if (status >= 0) {
        return;
    }
    const int n = -1 - static_cast<int>(status);
    unsigned char message[kMaxStringLength + 1];
    if (!lookupIndexedString(kFirstErrorList + n / kItemsPerList, n % kItemsPerList + 1, message) || message[0] == 0) {
        return;
    }
    textAppend(reply, " MESSAGE='");
    reply.append(reinterpret_cast<const char*>(message + 1), message[0]);
    textAppend(reply, "'");
}

}  // namespace

Status runExternalFunction(const FunctionEntry* table, int32_t number, Call& call) {
    const FunctionEntry* entry = entryFor(table, number);

    Status status = prepare(entry, call);
    if (status == kNoErr) {
        do {
            status = run(entry, call);
        } while (status == kNoErr && call.arguments != nullptr && call.arguments->nextCommand());
        if (status == kNoErr) {
            // A command that could not be parsed for want of memory is not a success.
            status = call.args().status();
        }
    }
    status = finish(entry, status, call);
    if (status != kNoErr) {
        storeErrorReply(call, status);
    }
    return status;
}

void storeErrorReply(Call& call, Status status, bool parsed) {
    LocalText<kMaxShortText * 2> reply;
    textSet(reply, "ERROR=");
    textAppendNumber(reply, status);
    appendErrorMessage(reply, status);
    const Arguments& args = call.args();
    if (parsed && (args.commandIndex() > 1 || args.hasTextAfterCurrentCommand())) {
        textAppend(reply, " ARGS=");
        textAppendNumber(reply, args.commandIndex());
    }
    call.setResult(reply.c_str());
}

}  // namespace korvane
