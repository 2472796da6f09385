#include "module/entry.h"

#include <cstring>
#include <new>

#include "core/args.h"
#include "core/call.h"
#include "core/host_services.h"
#include "files/folder_listing.h"
#include "module/call_resources.h"
#include "module/dispatch.h"
#include "module/function_table.h"
#include "platform/media/media.h"
#include "platform/win32/host_window.h"

namespace korvane {
namespace {

constexpr int16_t kLowestInterfaceVersion = 4;
constexpr int16_t kHighestInterfaceVersion = 255;
constexpr int32_t kPreferencesArgument = 3;
// The notice that the media layer is too old (dialog template in the module).
constexpr WORD kMediaNoticeDialog = 23809;

// What lives from start-up to shutdown; the only state kept between host calls.
PluginState* gState = nullptr;

// The host's memory and result handle, as the call record offers them.
class RecordHost final : public HostServices {
  public:
    explicit RecordHost(ExternCallRecord& record) : record_(record) {}

    Status storeResult(const char* text, size_t length) override {
        if (length > static_cast<size_t>(INT32_MAX)) {
            return kParamErr;
        }
        HostHandle handle = record_.result;
        if (handle == nullptr) {
            handle = record_.newHandle(0);
            if (Status error = memoryError(); error != kNoErr || handle == nullptr) {
                return error != kNoErr ? error : kOutOfMemory;
            }
            record_.result = handle;
        }
        record_.setHandleSize(handle, static_cast<int32_t>(length));
        if (Status error = memoryError(); error != kNoErr) {
            return error;
        }
        record_.lockHandle(handle);
        std::memcpy(*handle, text, length);
        record_.unlockHandle(handle);
        return kNoErr;
    }

    char* newPointer(int32_t size) override { return record_.newPointer(size); }
    void disposePointer(char* pointer) override { record_.disposePointer(pointer); }
    Status memoryError() override { return record_.memoryError(); }

  private:
    ExternCallRecord& record_;
};

// The parameter text of one external call in host memory: the text, its
// terminator, then the tag-name area of the same size.
class ParameterBuffer {
  public:
    explicit ParameterBuffer(HostServices& host) : host_(host) {}
    ParameterBuffer(const ParameterBuffer&) = delete;
    ParameterBuffer& operator=(const ParameterBuffer&) = delete;
    ~ParameterBuffer() {
        arguments_.end();
        if (buffer_ != nullptr) {
            host_.disposePointer(buffer_);
        }
    }

    Status fetch(const ExternCallRecord& record) {
        HostHandle parameter = record.parameter;
        const int32_t length = parameter != nullptr ? record.getHandleSize(parameter) : 0;
        if (length < 0 || length > (INT32_MAX - 2) / 2) {
            return kParamErr;
        }
        buffer_ = host_.newPointer(2 * length + 2);
        if (Status error = host_.memoryError(); error != kNoErr || buffer_ == nullptr) {
            return error != kNoErr ? error : kOutOfMemory;
        }
        if (length > 0) {
            record.lockHandle(parameter);
            std::memcpy(buffer_, *parameter, static_cast<size_t>(length));
            record.unlockHandle(parameter);
        }
        buffer_[length] = '\0';
        return arguments_.start(buffer_, buffer_ + length + 1);
    }

    Arguments& arguments() { return arguments_; }

  private:
    HostServices& host_;
    char* buffer_ = nullptr;
    Arguments arguments_;
};

// Shutdown is destroying the state: each member releases what its function kept.
void shutdownPlugin() {
    delete gState;
    gState = nullptr;
}

INT_PTR CALLBACK mediaNoticeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void showMediaTooOldNotice(HINSTANCE instance) {
    DialogBoxParamA(instance, MAKEINTRESOURCEA(kMediaNoticeDialog), hostDocumentWindow(), mediaNoticeProc, 0);
}

int32_t startup(const ExternCallRecord& record) {
    if (record.interfaceVersion < kLowestInterfaceVersion || record.interfaceVersion > kHighestInterfaceVersion) {
        return kStartupBadInterface;
    }
    if (mediaVersionWord() < kMediaVersionRequired) {
        showMediaTooOldNotice(static_cast<HINSTANCE>(record.pluginInstance));
        shutdownPlugin();
        return kStartupFailed;
    }
    shutdownPlugin();  // a second start-up without shutdown starts afresh
    gState = new (std::nothrow) PluginState();
    if (gState == nullptr) {
        return kStartupFailed;
    }
    return record.interfaceVersion;
}

// One external call: the parameter text from the host, a Call holding everything the
// handler may use, and the function run over it.
void externalCall(ExternCallRecord& record, CallResources& resources) {
    RecordHost host(record);
    Call call;
    call.host = &host;
    call.moduleInstance = record.pluginInstance;
    call.documentWindow = hostDocumentWindow();
    call.state = gState;
    call.resources = &resources;
    ParameterBuffer parameters(host);
    call.arguments = &parameters.arguments();
    if (Status status = parameters.fetch(record); status != kNoErr) {
        storeErrorReply(call, status, /*parsed=*/false);
    } else {
        runExternalFunction(functionTable(), record.functionNumber, call);
    }
}

// The host does no idle work through us.
void idle(uint8_t /*detail*/) {}

void actOnCall(ExternCallRecord& record, CallResources& resources) {
    switch (record.callKind) {
        case kCallStartup:
            record.startupAnswer = startup(record);
            break;
        case kCallIdle:
            idle(record.idleDetail);
            break;
        case kCallExternal:
            externalCall(record, resources);
            break;
        case kCallShutdown:
            shutdownPlugin();
            break;
        case kCallPreferences:
            mediaDispatch(kMediaSelectorPreferences, kPreferencesArgument);
            break;
        default:
            break;
    }
}

}  // namespace
}  // namespace korvane

using namespace korvane;

extern "C" void __stdcall FMExternCallProc(ExternCallRecord* record) {
    if (record == nullptr) {
        return;
    }
    mediaBringUp();
    {
        // Released when the host call ends, whatever kind it was.
        CallResources resources;
        try {
            actOnCall(*record, resources);
        } catch (...) {
            // Only allocation can throw in here; the host must never see an exception.
            if (record->callKind == kCallExternal) {
                RecordHost host(*record);
                Call call;
                call.host = &host;
                storeErrorReply(call, kOutOfMemory, /*parsed=*/false);
            }
        }
    }
    mediaTakeDown();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
