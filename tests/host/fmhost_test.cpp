// fmhost.exe as a command: its output bytes, standard input, options and exit codes.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/raii.h"
#include "tests/host/test_paths.h"

namespace korvane::host {
namespace {

struct Outcome {
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The Windows path of fmhost.exe: the build tree is seen through drive Z:.
std::string fmhostPath() {
    std::string path = FMHOST_PATH;
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

// One argument quoted so the C runtime's parser gives it back unchanged.
std::string quote(const std::string& arg) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
        } else {
            if (c == '"') {
                quoted.append(backslashes + 1, '\\');
            }
            backslashes = 0;
        }
        quoted += c;
    }
    quoted.append(backslashes, '\\');
    return quoted + "\"";
}

win32::unique_hfile inheritableFile(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return win32::unique_hfile(CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                           write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Runs fmhost with the stand-in module (unless the arguments name another) and `input` on standard input.
Outcome runFmhost(std::vector<std::string> args, const std::string& input = "", bool withPlugin = true) {
    // Fresh names for every run: Wine may still hold the files of the run before.
    static int run = 0;
    const std::string stem = testing::besideTest("fmhost_test_run") + std::to_string(++run);
    const std::string in = stem + ".in";
    const std::string out = stem + ".out";
    const std::string err = stem + ".err";
    writeFile(in, input);
    std::string commandLine = quote(fmhostPath());
    if (withPlugin) {
        args.insert(args.begin(), {"--plugin", testing::standinModule()});
    }
    for (const std::string& arg : args) {
        commandLine += " " + quote(arg);
    }
    Outcome outcome;
    {
        win32::unique_hfile stdinFile = inheritableFile(in, false);
        win32::unique_hfile stdoutFile = inheritableFile(out, true);
        win32::unique_hfile stderrFile = inheritableFile(err, true);
        if (!stdinFile || !stdoutFile || !stderrFile) {
            ADD_FAILURE() << "cannot open the files for fmhost's standard handles: " << GetLastError();
            return outcome;
        }
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = stdinFile.get();
        startup.hStdOutput = stdoutFile.get();
        startup.hStdError = stderrFile.get();
        PROCESS_INFORMATION process = {};
        std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
        mutableLine.push_back('\0');
        if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr,
                            &startup, &process)) {
            ADD_FAILURE() << "cannot start " << commandLine << ": " << GetLastError();
            return outcome;
        }
        win32::unique_handle processHandle(process.hProcess);
        win32::unique_handle threadHandle(process.hThread);
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    }
    outcome.out = readFile(out);
    outcome.err = readFile(err);
    for (const std::string* path : {&in, &out, &err}) {
        DeleteFileA(path->c_str());
    }
    return outcome;
}

TEST(Fmhost, ListsDisplayNameAndFunctions) {
    Outcome listed = runFmhost({"--list"});
    EXPECT_EQ(listed.exitCode, 0u) << listed.err;
    std::string expected = "Stand-in Module\n0 SIn-Echo\n1 SIn-Leak\n";
    EXPECT_EQ(listed.out.substr(0, expected.size()), expected);
    EXPECT_NE(listed.out.find("\n15 SIn-Message\n16 \n"), std::string::npos);
    EXPECT_EQ(listed.out.substr(listed.out.size() - 5), "\n39 \n");
}

TEST(Fmhost, PrintsEachResultAsItsBytesThenALineFeed) {
    const std::string sjis = "\x83\x65\x83\x58\x83\x67\\";
    Outcome outcome = runFmhost({"SIn-Echo", "a b", "sin-nothing", "x", "#0", "", "SIn-Echo", sjis, "#40", "p"});
    EXPECT_EQ(outcome.exitCode, 0u) << outcome.err;
    EXPECT_EQ(outcome.out, "a b\n\n\n" + sjis + "\nERROR=-50\n");
}

TEST(Fmhost, ReadsCallsFromStandardInputWithoutCalls) {
    Outcome outcome =
        runFmhost({}, "SIn-Echo hello  world\r\nSIn-Echo\ttab\n\nSIn-Nothing\nNo-Such x\nSIn-Echo a\rb\r\nSIn-Echo");
    EXPECT_EQ(outcome.exitCode, 0u) << outcome.err;
    // Blank lines are skipped; an unknown name answers an empty line and a message.
    EXPECT_EQ(outcome.out, "hello  world\ntab\n\n\na\rb\n\n");
    EXPECT_NE(outcome.err.find("no function No-Such"), std::string::npos) << outcome.err;
}

TEST(Fmhost, StartupKindAndInterfaceVersionOptions) {
    struct Row {
        std::vector<std::string> options;
        const char* log;
    };
    const Row rows[] = {
        {{}, "S11\n"},
        {{"--interface-version", "42", "--kind", "9"}, "S42 K9\n"},
        {{"--no-startup", "--kind", "2"}, "K2\n"},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        std::vector<std::string> args = rows[i].options;
        args.insert(args.end(), {"SIn-Log", ""});
        Outcome outcome = runFmhost(args);
        EXPECT_EQ(outcome.exitCode, 0u) << outcome.err;
        EXPECT_EQ(outcome.out, rows[i].log);
    }
}

TEST(Fmhost, ReportsLeaksOnStandardError) {
    Outcome outcome = runFmhost({"SIn-Leak", ""});
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(outcome.out, "leaked\n");
    EXPECT_NE(outcome.err.find("SIn-Leak: 1 pointers"), std::string::npos) << outcome.err;
}

TEST(Fmhost, WritesScreenshotAndClipboard) {
    const std::string shot = testing::besideTest("fmhost_test_shot.bmp");
    const std::string clip = testing::besideTest("fmhost_test_clip.txt");
    Outcome outcome = runFmhost({"--window", "300x200", "--screenshot", shot, "--clipboard-out", clip, "SIn-Draw", "",
                                 "SIn-ClipText", "copied"});
    EXPECT_EQ(outcome.exitCode, 0u) << outcome.err;
    const std::string bmp = readFile(shot);
    ASSERT_EQ(bmp.size(), 54u + 300 * 3 * 200);
    EXPECT_EQ(bmp.substr(54 + (199 - 10) * 900 + 30, 3), std::string("\x00\x00\xFF", 3));
    EXPECT_EQ(readFile(clip), "copied");
    DeleteFileA(shot.c_str());
    DeleteFileA(clip.c_str());
}

// The stand-in's dialog has a field (100), OK (1) and Cancel (2); its result is "OK:" and
// the field's text, or "CANCEL".
TEST(Fmhost, AnswersTheModulesDialogsAsScripted) {
    struct Row {
        const char* response;
        const char* result;
    };
    const Row rows[] = {
        {"set=100:hello;press=1", "OK:hello\n"},
        {"set=100:typed;key=ENTER", "OK:typed\n"},
        {"set=100:typed;key=ESCAPE", "CANCEL\n"},
        {"close", "CANCEL\n"},
        {"wait=100;press=2", "CANCEL\n"},
        {"set=100:\x95\x5C\x83\x5C;press=1", "OK:\x95\x5C\x83\x5C\n"},  // Shift-JIS, trail bytes 0x5C
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].response);
        Outcome outcome = runFmhost({"--respond", rows[i].response, "SIn-Ask", ""});
        EXPECT_EQ(outcome.exitCode, 0u);
        EXPECT_EQ(outcome.out, rows[i].result);
        EXPECT_EQ(outcome.err, "");
    }
}

TEST(Fmhost, GivesEachDialogTheNextResponseAndLogsWhatItShowed) {
    const std::string log = testing::besideTest("fmhost_test_dialogs.log");
    Outcome outcome = runFmhost({"--dialog-log", log, "--respond", "press=7", "--respond", "set=100:second;press=1",
                                 "SIn-Message", "Save?", "SIn-Ask", ""});
    EXPECT_EQ(outcome.out, "7\nOK:second\n");
    const std::string text = readFile(log);
    EXPECT_EQ(text.find("dialog \"Stand-in\" "), 0u) << text;
    EXPECT_NE(text.find("\"Save?\" visible enabled"), std::string::npos) << text;
    EXPECT_NE(text.find("response: press=7\n"), std::string::npos) << text;
    EXPECT_NE(text.find("dialog \"Stand-in Ask\" "), std::string::npos) << text;
    EXPECT_NE(text.find("  100 Edit \"\" visible enabled "), std::string::npos) << text;
    EXPECT_NE(text.find("  1 Button \"OK\" visible enabled "), std::string::npos) << text;
    EXPECT_NE(text.find("response: set=100:second;press=1\n"), std::string::npos) << text;
    DeleteFileA(log.c_str());
}

// No scripted run waits for ever: a dialog without a response is ended with Escape.
TEST(Fmhost, EndsADialogThatHasNoResponseWithEscape) {
    Outcome outcome = runFmhost({"SIn-Ask", ""});
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(outcome.out, "CANCEL\n");
    EXPECT_NE(outcome.err.find("no response left for the dialog \"Stand-in Ask\""), std::string::npos) << outcome.err;
}

TEST(Fmhost, ExitsWithTwoOnWrongOptionsOrModule) {
    struct Row {
        std::vector<std::string> args;
        bool withPlugin;
        const char* message;
    };
    const Row rows[] = {
        {{"--plugin", "Z:\\no\\such.fmx", "SIn-Echo", "x"}, false, "cannot load"},
        {{"--bogus"}, true, "unknown option --bogus"},
        {{"SIn-Echo"}, true, "each NAME needs a PARAM"},
        {{"--kind", "256"}, true, "--kind needs"},
        {{"--interface-version", "40000"}, true, "--interface-version needs"},
        {{"--window", "0x5"}, true, "--window needs"},
        {{"--window", "300"}, true, "--window needs"},
        {{"--screenshot"}, true, "--screenshot needs"},
        {{"No-Such", "x"}, true, "no function No-Such"},
        {{"--respond", "jump=3"}, true, "--respond: not an action: jump=3"},
        {{"--respond", "press=1;color=1,2"}, true, "--respond: color needs R,G,B"},
        {{"--respond", "wait=-1"}, true, "--respond: not an action"},
        {{"--dialog-log"}, true, "--dialog-log needs"},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        Outcome outcome = runFmhost(rows[i].args, "", rows[i].withPlugin);
        EXPECT_EQ(outcome.exitCode, 2u);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find(rows[i].message), std::string::npos) << outcome.err;
    }
}

}  // namespace
}  // namespace korvane::host
