// Parsing a parameter text of many distinct tags, and finding each tag again: time per text
// for 20,000, 40,000 and 100,000 tags. With a hash index the time grows with the text's
// length; a table searched name by name grew with its square.
//
//   build/native/bench/args_bench [ROUNDS]
//   tools/wine-exec build/win32/bench/args_bench.exe [ROUNDS]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/args.h"

namespace {

std::string textOfTags(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "T" + std::to_string(i) + "=" + std::to_string(i) + " ";
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    for (int count : {20000, 40000, 100000}) {
        const std::string text = textOfTags(count);
        double best = 1e9;
        for (int round = 0; round < rounds; ++round) {
            std::unique_ptr<char[]> copy(new char[text.size() + 1]);
            std::unique_ptr<char[]> names(new char[text.size() + 1]);
            text.copy(copy.get(), text.size());
            copy[text.size()] = '\0';
            const auto start = std::chrono::steady_clock::now();
            korvane::Arguments args;
            args.start(copy.get(), names.get());
            long found = 0;
            for (int i = 0; i < count; i += 97) {
                found += args.tagValue(("T" + std::to_string(i)).c_str()) != nullptr;
            }
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            args.end();
            best = seconds < best ? seconds : best;
            if (found == 0) {
                return 1;
            }
        }
        std::printf("%6d tags (%7zu bytes): %.3f s\n", count, text.size(), best);
    }
    return 0;
}
