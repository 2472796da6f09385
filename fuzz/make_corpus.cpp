// Writes the seed corpus of every fuzz target under the folder given (fuzz/corpus): small
// valid inputs made here or by the test image writers, nothing taken from elsewhere.
//
//   build/fuzz/fuzz/make_fuzz_corpus fuzz/corpus

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/media/dib.h"
#include "platform/media/pict.h"
#include "tests/media/test_images.h"

namespace {

using namespace korvane::media;
namespace images = korvane::media::testing;
using images::Bytes;
using images::makePattern;
namespace fs = std::filesystem;

void write(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    if (FILE* f = std::fopen((folder / name).string().c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

void writeTexts(const fs::path& folder, const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i) {
        write(folder, "seed" + std::to_string(i), Bytes(texts[i].begin(), texts[i].end()));
    }
}

void put16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

void put32(Bytes& b, uint32_t v) {
    put16(b, static_cast<uint16_t>(v >> 16));
    put16(b, static_cast<uint16_t>(v));
}

Bytes jpegHeader(uint8_t components) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 2, 1, 1, 44, 0, 150, 0, 0};
    b.insert(b.end(), {0xFF, 0xC0});
    put16(b, static_cast<uint16_t>(8 + 3 * components));
    b.push_back(8);
    put16(b, 480);
    put16(b, 640);
    b.push_back(components);
    for (uint8_t i = 0; i < components; ++i) {
        b.insert(b.end(), {static_cast<uint8_t>(i + 1), 0x11, 0});
    }
    b.insert(b.end(), {0xFF, 0xDA, 0, 2, 0xFF, 0xD9});
    return b;
}

void chunk(Bytes& b, const char* type, const Bytes& body) {
    put32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), body.begin(), body.end());
    put32(b, 0);
}

Bytes pngHeader(uint8_t bits, uint8_t colourType, bool withPalette) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32(header, 300);
    put32(header, 200);
    header.insert(header.end(), {bits, colourType, 0, 0, 0});
    chunk(b, "IHDR", header);
    if (withPalette) {
        chunk(b, "PLTE", {0, 0, 0, 255, 255, 255});
    }
    chunk(b, "pHYs", {0, 0, 0x2E, 0x23, 0, 0, 0x17, 0x12, 1});
    chunk(b, "IDAT", {1, 2, 3});
    chunk(b, "IEND", {});
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_corpus FOLDER\n");
        return 2;
    }
    const fs::path root = argv[1];
    writeTexts(root / "args_fuzz", {"WIDTH=100 HEIGHT=50", "A B | C=1 || D='x y' E=\"q\\'\"",
                                    "K=\x81\x5Cn T=a\\tb DATE=2004/12/31 TIME=13:05:00",
                                    "N=1,2,3 P=50% CODE=TEXT,PICT X=0x1F Y=-7 B=NO", "'K'=v K==x \\ A\\"});
    writeTexts(root / "geometry_fuzz", {"0,0,100,50", "-5,7", "#FF8000", "65535,0,32768", "128", "1,2,3,4,5"});
    writeTexts(root / "path_text_fuzz", {"srv::share:dir:f.txt", "Data:dir:file", "C:\\dir\\f.txt",
                                         "C:", "\\\\srv\\share\\a", "name.ext", "srv@zone::share", "\x95\x5C\\x"});
    writeTexts(root / "escape_fuzz", {"C:\\dir\\it's.txt", "a\tb\nc\rd\"e", "\x95\x5C\\\x83\x5C", ""});
    writeTexts(root / "web_address_fuzz", {"http://example.com/a.png", "https://u:p@[::1]:8080/x?y#z",
                                           "ftp://host/file", "ftp:/x", "HTTP://h:65535"});
    write(root / "header_probe_fuzz", "rgb.jpg", jpegHeader(3));
    write(root / "header_probe_fuzz", "grey.jpg", jpegHeader(1));
    write(root / "header_probe_fuzz", "rgb.png", pngHeader(8, 2, false));
    write(root / "header_probe_fuzz", "palette.png", pngHeader(4, 3, true));

    int n = 0;
    for (auto [depth, alpha, width] :
         {std::tuple{kDepth1, false, 19}, std::tuple{kDepth4, false, 9}, std::tuple{kDepthGrey8, false, 12},
          std::tuple{kDepth16, false, 6}, std::tuple{kDepth32, true, 5}, std::tuple{kDepth24, false, 130}}) {
        korvane::media::ByteWriter pict;
        writePict(makePattern(width, 3, depth, alpha, depth == kDepth4 ? 6 : 0), pict);
        write(root / "pict_fuzz", "seed" + std::to_string(n), images::toBytes(pict));
        korvane::media::ByteWriter dib;
        writeDib(makePattern(7, 3, depth, alpha), dib);
        write(root / "dib_fuzz", "seed" + std::to_string(n), images::toBytes(dib));
        ++n;
    }
    const Bytes tga[] = {
        images::writeTga(makePattern(7, 5, kDepth8, false, 30), {9, 8}),
        images::writeTga(makePattern(7, 5, kDepth8, false, 30), {1, 8, true, false, 16}),
        images::writeTga(makePattern(9, 4, kDepth24), {10, 24, true}),
        images::writeTga(makePattern(9, 4, kDepth32, true), {2, 32, false, true}),
        images::writeTga(makePattern(9, 4, kDepthGrey8), {11, 8}),
    };
    for (size_t i = 0; i < std::size(tga); ++i) {
        write(root / "tga_fuzz", "seed" + std::to_string(i), tga[i]);
    }
    const Bytes sgi[] = {
        images::writeSgi(makePattern(9, 4, kDepthGrey8), {true, 1}),
        images::writeSgi(makePattern(9, 4, kDepth24), {true, 3, 2}),
        images::writeSgi(makePattern(9, 4, kDepth32, true), {false, 4}),
    };
    for (size_t i = 0; i < std::size(sgi); ++i) {
        write(root / "sgi_fuzz", "seed" + std::to_string(i), sgi[i]);
    }
    return 0;
}
