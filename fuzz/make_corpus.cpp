// Writes the seed corpus of every fuzz target under the folder given (fuzz/corpus): small
// valid inputs made here or by the test image writers, nothing taken from elsewhere.
//
//   build/fuzz/fuzz/make_fuzz_corpus fuzz/corpus

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/media/dib.h"
#include "platform/media/macpaint.h"
#include "platform/media/photoshop.h"
#include "platform/media/pict.h"
#include "platform/media/qtif.h"
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
    const Bytes phys = images::pngPhys(11811, 5906);  // 300 by 150 dots per inch
    write(root / "header_probe_fuzz", "rgb.jpg", images::jpegHeader(1, 300, 150, 640, 480, 3));
    write(root / "header_probe_fuzz", "grey.jpg", images::jpegHeader(1, 300, 150, 640, 480, 1));
    write(root / "header_probe_fuzz", "rgb.png", images::pngHeader(8, 2, {{"pHYs", phys}}));
    write(root / "header_probe_fuzz", "palette.png",
          images::pngHeader(4, 3, {{"PLTE", {0, 0, 0, 255, 255, 255}}, {"pHYs", phys}}));

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
    auto written = [](korvane::Status (*writer)(const korvane::media::Bitmap&, korvane::media::ByteWriter&),
                      const korvane::media::Bitmap& bitmap) {
        korvane::media::ByteWriter w;
        writer(bitmap, w);
        return images::toBytes(w);
    };
    const Bytes psd[] = {
        written(korvane::media::writePhotoshop, makePattern(9, 4, kDepth24)),
        written(korvane::media::writePhotoshop, makePattern(9, 4, kDepth32, true)),
        written(korvane::media::writePhotoshop, makePattern(9, 4, kDepth8, false, 30)),
        images::photoshopRunLength(),
    };
    for (size_t i = 0; i < std::size(psd); ++i) {
        write(root / "psd_fuzz", "seed" + std::to_string(i), psd[i]);
    }
    const Bytes qtif[] = {
        written(korvane::media::writeQuickTimeImage, makePattern(9, 4, kDepth24)),
        written(korvane::media::writeQuickTimeImage, makePattern(9, 4, kDepth32, true)),
    };
    for (size_t i = 0; i < std::size(qtif); ++i) {
        write(root / "qtif_fuzz", "seed" + std::to_string(i), qtif[i]);
    }
    write(root / "pntg_fuzz", "seed0", written(korvane::media::writeMacPaint, makePattern(40, 30, kDepth1)));
    return 0;
}
