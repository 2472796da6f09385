// fmhost: runs a plug-in module the way FileMaker Pro does, from the command line.
//   fmhost [options] [NAME PARAM]...
// Each call's result text is written to standard output as its bytes, then a line feed.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

namespace {

using korvane::host::Host;

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;
constexpr char kDefaultModuleName[] = "Korvane.fmx";
constexpr char kUsage[] =
    "usage: fmhost [--plugin FILE] [--interface-version N] [--no-startup] [--kind K] [--window WxH]\n"
    "              [--window-origin X,Y] [--mouse X,Y] [--list] [--screenshot FILE.bmp] [--clipboard-out FILE] "
    "[--respond "
    "ACTIONS]...\n"
    "              [--dialog-log FILE] [NAME PARAM]...\n";

struct Options {
    std::string plugin;
    int16_t interfaceVersion = korvane::host::kDefaultInterfaceVersion;
    bool startup = true;
    std::optional<uint8_t> rawKind;
    int width = korvane::host::kDefaultDocumentWidth;
    int height = korvane::host::kDefaultDocumentHeight;
    std::optional<POINT> windowOrigin;
    std::optional<POINT> mouse;  // put at this client point before each call
    bool list = false;
    std::string screenshot;
    std::string clipboardOut;
    std::vector<std::string> responses;
    std::string dialogLog;
    std::vector<std::pair<std::string, std::string>> calls;
};

int usageError(const std::string& message) {
    std::fprintf(stderr, "fmhost: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

std::optional<long> parseInteger(const std::string& text, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) {
        return false;
    }
    constexpr long kMaxSide = 16384;
    const auto w = parseInteger(text.substr(0, x), 1, kMaxSide);
    const auto h = parseInteger(text.substr(x + 1), 1, kMaxSide);
    if (!w || !h) {
        return false;
    }
    width = static_cast<int>(*w);
    height = static_cast<int>(*h);
    return true;
}

bool parsePoint(const std::string& text, POINT& origin) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) {
        return false;
    }
    constexpr long kMaxOffset = 32767;
    const auto x = parseInteger(text.substr(0, comma), -kMaxOffset, kMaxOffset);
    const auto y = parseInteger(text.substr(comma + 1), -kMaxOffset, kMaxOffset);
    if (!x || !y) {
        return false;
    }
    origin = POINT{*x, *y};
    return true;
}

std::string besideThisProgram(const char* name) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length < MAX_PATH ? length : 0);
    const size_t slash = directory.find_last_of("\\/");
    directory = slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
    return directory + name;
}

// Fills `options`; an error message when the command line is wrong.
std::optional<std::string> parseOptions(int argc, char** argv, Options& options) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--plugin") {
            if (!value(options.plugin))
                return arg + " needs a file";
        } else if (arg == "--interface-version") {
            const auto n = value(text) ? parseInteger(text, INT16_MIN, INT16_MAX) : std::nullopt;
            if (!n)
                return arg + " needs a number from -32768 to 32767";
            options.interfaceVersion = static_cast<int16_t>(*n);
        } else if (arg == "--no-startup") {
            options.startup = false;
        } else if (arg == "--kind") {
            const auto n = value(text) ? parseInteger(text, 0, UINT8_MAX) : std::nullopt;
            if (!n)
                return arg + " needs a number from 0 to 255";
            options.rawKind = static_cast<uint8_t>(*n);
        } else if (arg == "--window") {
            if (!value(text) || !parseSize(text, options.width, options.height))
                return arg + " needs WxH";
        } else if (arg == "--window-origin") {
            POINT origin = {};
            if (!value(text) || !parsePoint(text, origin))
                return arg + " needs X,Y";
            options.windowOrigin = origin;
        } else if (arg == "--mouse") {
            POINT point = {};
            if (!value(text) || !parsePoint(text, point))
                return arg + " needs X,Y";
            options.mouse = point;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--screenshot") {
            if (!value(options.screenshot))
                return arg + " needs a file";
        } else if (arg == "--clipboard-out") {
            if (!value(options.clipboardOut))
                return arg + " needs a file";
        } else if (arg == "--respond") {
            std::string error;
            if (!value(text))
                return arg + " needs actions";
            if (!korvane::host::parseDialogActions(text, error))
                return arg + ": " + error;
            options.responses.push_back(text);
        } else if (arg == "--dialog-log") {
            if (!value(options.dialogLog))
                return arg + " needs a file";
        } else if (arg == "--") {
            positional.insert(positional.end(), argv + i + 1, argv + argc);
            break;
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            return "unknown option " + arg;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() % 2 != 0) {
        return "each NAME needs a PARAM";
    }
    for (size_t i = 0; i < positional.size(); i += 2) {
        options.calls.emplace_back(positional[i], positional[i + 1]);
    }
    if (options.plugin.empty()) {
        options.plugin = besideThisProgram(kDefaultModuleName);
    }
    return std::nullopt;
}

void printList(const Host& host) {
    std::cout << host.displayName() << '\n';
    const auto& names = host.functionNames();
    for (size_t i = 0; i < names.size(); ++i) {
        std::cout << i << ' ' << names[i] << '\n';
    }
}

void runCall(Host& host, const Options& options, const std::string& name, const std::string& parameter) {
    const std::optional<int32_t> number = host.findFunction(name);
    if (!number) {
        std::fprintf(stderr, "fmhost: no function %s\n", name.c_str());
        std::cout << '\n';
        return;
    }
    if (options.mouse && !host.placeMouse(options.mouse->x, options.mouse->y)) {
        std::fprintf(stderr, "fmhost: cannot move the mouse pointer\n");
    }
    const korvane::host::CallResult result = host.call(*number, parameter);
    std::cout << result.result << '\n' << std::flush;
    if (!result.clean()) {
        std::fprintf(stderr,
                     "fmhost: %s: %d pointers and %d handles not given back, %d bad handles, %d bad pointers, "
                     "%d overruns%s%s%s\n",
                     name.c_str(), result.leakedPointers, result.leakedHandles, result.faults.badHandles,
                     result.faults.badPointers, result.faults.overruns,
                     result.resultLocked ? ", result left locked" : "",
                     result.parameterLocked ? ", parameter left locked" : "",
                     result.resultValid ? "" : ", result is not a handle of the host");
    }
}

// Standard input: NAME, one blank or tab, then PARAM up to the end of the line.
void runStandardInput(Host& host, const Options& options) {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        const size_t separator = line.find_first_of(" \t");
        const std::string name = line.substr(0, separator);
        const std::string parameter = separator == std::string::npos ? std::string() : line.substr(separator + 1);
        runCall(host, options, name, parameter);
    }
}

int run(const Options& options) {
    Host host;
    if (!host.load(options.plugin)) {
        std::fprintf(stderr, "fmhost: %s\n", host.error().c_str());
        return kExitUsage;
    }
    if (options.list) {
        printList(host);
        if (options.calls.empty()) {
            return kExitOk;
        }
    }
    for (const auto& [name, parameter] : options.calls) {
        if (!host.findFunction(name)) {
            return usageError("no function " + name);
        }
    }
    // Always watching, so that a dialog nobody answers is ended instead of waiting for ever.
    std::string error;
    for (const std::string& response : options.responses) {
        host.responder().queue(response, error);
    }
    if (!options.dialogLog.empty() && !host.responder().logTo(options.dialogLog)) {
        return usageError("cannot write " + options.dialogLog);
    }
    host.responder().start(GetCurrentThreadId());
    if ((options.width != korvane::host::kDefaultDocumentWidth ||
         options.height != korvane::host::kDefaultDocumentHeight) &&
        !host.openWindow(options.width, options.height)) {
        std::fprintf(stderr, "fmhost: cannot create a %dx%d document window\n", options.width, options.height);
    }
    if (options.windowOrigin && !host.setWindowOrigin(options.windowOrigin->x, options.windowOrigin->y)) {
        std::fprintf(stderr, "fmhost: cannot move the document window's origin\n");
    }
    if (options.startup) {
        const int32_t answer = host.startup(options.interfaceVersion);
        if (answer != options.interfaceVersion) {
            std::fprintf(stderr, "fmhost: start-up answered %ld\n", static_cast<long>(answer));
        }
    }
    if (options.rawKind) {
        host.rawCall(*options.rawKind);
    }
    if (options.calls.empty()) {
        runStandardInput(host, options);
    }
    for (const auto& [name, parameter] : options.calls) {
        runCall(host, options, name, parameter);
    }
    if (!options.screenshot.empty() && !host.saveScreenshot(options.screenshot)) {
        std::fprintf(stderr, "fmhost: cannot write %s\n", options.screenshot.c_str());
    }
    if (!options.clipboardOut.empty() &&
        host.saveClipboard(options.clipboardOut) == korvane::host::ClipboardContent::kNone) {
        std::fprintf(stderr, "fmhost: no picture or text on the clipboard for %s\n", options.clipboardOut.c_str());
    }
    host.shutdown();
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    Options options;
    if (const auto message = parseOptions(argc, argv, options)) {
        return usageError(*message);
    }
    const int status = run(options);
    std::cout.flush();
    return status;
}
