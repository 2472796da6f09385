#include "host/host.h"

#include <charconv>
#include <cstring>

namespace korvane::host {

namespace {

constexpr char kEntryPointName[] = "FMExternCallProc";
// How a __stdcall entry point is named when it is exported without a .def file (the
// Microsoft and the GNU linkers decorate it differently).
constexpr const char* kDecoratedEntryPointNames[] = {"_FMExternCallProc@4", "FMExternCallProc@4"};
constexpr int kStringBufferSize = 256;
constexpr char kFunctionNumberPrefix = '#';

std::string loadString(HMODULE module, UINT id) {
    char buffer[kStringBufferSize] = {};
    const int length = LoadStringA(module, id, buffer, kStringBufferSize);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<int32_t> parseFunctionNumber(std::string_view text) {
    int32_t number = 0;
    const char* end = text.data() + text.size();
    auto [rest, failure] = std::from_chars(text.data(), end, number);
    if (text.empty() || failure != std::errc() || rest != end) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

namespace {

// FileMaker Pro itself uses the common controls and the common dialogs, so those system
// libraries stay loaded for the host's whole life: a plug-in that imports them does not load
// and unload them with itself. (Wine's copies do not give everything back when unloaded.)
void keepHostSystemLibraries() {
    static const bool kept = LoadLibraryA("comctl32.dll") != nullptr && LoadLibraryA("comdlg32.dll") != nullptr;
    (void)kept;
}

}  // namespace

Host::Host() {
    keepHostSystemLibraries();
}

Host::~Host() {
    if (started_ && loaded()) {
        shutdown();
    }
    unload();
}

bool Host::load(const std::string& path) {
    unload();
    module_.reset(LoadLibraryA(path.c_str()));
    if (!module_) {
        error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // Through void*: FARPROC's own type says nothing of the real signature.
    proc_ = reinterpret_cast<ExternCallProc>(reinterpret_cast<void*>(GetProcAddress(module_.get(), kEntryPointName)));
    if (proc_ == nullptr) {
        error_ = path + " does not export " + kEntryPointName;
        for (const char* decorated : kDecoratedEntryPointNames) {
            if (GetProcAddress(module_.get(), decorated) != nullptr) {
                error_ += std::string(" (only the decorated ") + decorated + ")";
            }
        }
        module_.reset();
        return false;
    }
    displayName_ = loadString(module_.get(), kDisplayNameId);
    functionNames_.clear();
    for (int i = 0; i < kFunctionCount; ++i) {
        functionNames_.push_back(loadString(module_.get(), kFirstFunctionNameId + i));
    }
    error_.clear();
    if (window_.document() == nullptr && !openWindow()) {
        error_ = "cannot create the host's windows";
    }
    return true;
}

bool Host::attach(ExternCallProc proc, const std::string& resourcesPath) {
    if (!load(resourcesPath)) {
        return false;
    }
    proc_ = proc;
    return true;
}

void Host::unload() {
    module_.reset();
    proc_ = nullptr;
    started_ = false;
    displayName_.clear();
    functionNames_.clear();
}

std::optional<int32_t> Host::findFunction(std::string_view name) const {
    if (!name.empty() && name.front() == kFunctionNumberPrefix) {
        return parseFunctionNumber(name.substr(1));
    }
    for (size_t i = 0; i < functionNames_.size(); ++i) {
        if (!functionNames_[i].empty() && equalsIgnoringAsciiCase(functionNames_[i], name)) {
            return static_cast<int32_t>(i);
        }
    }
    return std::nullopt;
}

bool Host::openWindow(int width, int height) {
    return window_.create(width, height);
}

ExternCallRecord Host::newRecord(uint8_t kind) {
    ExternCallRecord record;
    std::memset(&record, 0, sizeof record);
    record.interfaceVersion = interfaceVersion_;
    record.callKind = kind;
    record.pluginInstance = module_.get();
    HostMemory::installCallbacks(record);
    return record;
}

void Host::send(ExternCallRecord& record) {
    if (proc_ == nullptr) {
        return;
    }
    memory_.makeCurrent();
    window_.pumpMessages();
    proc_(&record);
    window_.pumpMessages();
}

int32_t Host::startup(int16_t interfaceVersion) {
    interfaceVersion_ = interfaceVersion;
    ExternCallRecord record = newRecord(kCallStartup);
    send(record);
    started_ = loaded();
    return record.startupAnswer;
}

void Host::idle(uint8_t detail) {
    ExternCallRecord record = newRecord(kCallIdle);
    record.idleDetail = detail;
    send(record);
}

void Host::preferences() {
    ExternCallRecord record = newRecord(kCallPreferences);
    send(record);
}

void Host::shutdown() {
    ExternCallRecord record = newRecord(kCallShutdown);
    send(record);
    started_ = false;
}

ExternCallRecord Host::rawCall(uint8_t kind) {
    ExternCallRecord record = newRecord(kind);
    send(record);
    return record;
}

CallResult Host::call(int32_t functionNumber,
                      std::string_view parameter,
                      std::optional<std::string_view> previousResult) {
    CallResult out;
    HostHandle parameterHandle = memory_.hostNewHandle(parameter);
    HostHandle previous = previousResult ? memory_.hostNewHandle(*previousResult) : nullptr;
    const int previousResizes = memory_.resizeCount(previous);
    const size_t handlesBefore = memory_.liveHandles();
    const size_t pointersBefore = memory_.livePointers();
    const MemoryFaults faultsBefore = memory_.faults();

    ExternCallRecord record = newRecord(kCallExternal);
    record.functionNumber = functionNumber;
    record.parameter = parameterHandle;
    record.result = previous;
    send(record);

    HostHandle result = record.result;
    out.resultValid = result == nullptr || memory_.isHandle(result);
    if (!out.resultValid) {
        result = nullptr;
    }
    const bool madeByModule = result != nullptr && result != previous;
    out.stored = madeByModule || (result != nullptr && memory_.resizeCount(result) != previousResizes);
    out.result = memory_.handleBytes(result);
    out.resultLocked = memory_.isLocked(result);
    out.parameterLocked = memory_.isLocked(parameterHandle);
    memory_.checkGuards();
    out.leakedPointers = static_cast<int>(memory_.livePointers()) - static_cast<int>(pointersBefore);
    out.leakedHandles =
        static_cast<int>(memory_.liveHandles()) - static_cast<int>(handlesBefore) - (madeByModule ? 1 : 0);

    memory_.hostDisposeHandle(parameterHandle);
    memory_.hostDisposeHandle(result);
    if (previous != result) {
        memory_.hostDisposeHandle(previous);
    }
    const MemoryFaults& faultsAfter = memory_.faults();
    out.faults.badHandles = faultsAfter.badHandles - faultsBefore.badHandles;
    out.faults.badPointers = faultsAfter.badPointers - faultsBefore.badPointers;
    out.faults.overruns = faultsAfter.overruns - faultsBefore.overruns;
    out.faults.injectedFailures = faultsAfter.injectedFailures - faultsBefore.injectedFailures;
    return out;
}

std::optional<CallResult> Host::call(std::string_view name, std::string_view parameter) {
    const std::optional<int32_t> number = findFunction(name);
    if (!number) {
        return std::nullopt;
    }
    return call(*number, parameter);
}

}  // namespace korvane::host
