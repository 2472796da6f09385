#include "tests/image/image_corpus.h"

#include <gtest/gtest.h>

#include "core/args.h"
#include "platform/media/bitmap.h"
#include "platform/win32/raii.h"
#include "tests/media/test_images.h"

namespace korvane::image_testing {

namespace {

using media::testing::SgiLayout;
using media::testing::TgaLayout;

FrameLayout frame(const GUID& format, UINT width, UINT height, double dpiX = 72, double dpiY = 72) {
    FrameLayout layout;
    layout.format = format;
    layout.width = width;
    layout.height = height;
    layout.dpiX = dpiX;
    layout.dpiY = dpiY;
    return layout;
}

FrameLayout indexedFrame(const GUID& format, UINT width, UINT height, int colours) {
    FrameLayout layout = frame(format, width, height);
    layout.palette = colourPalette(colours);
    return layout;
}

std::vector<CorpusImage> makeCorpus() {
    const auto apartment = win32::init_com_apartment();
    const media::Bitmap pattern24 = media::testing::makePattern(40, 30, media::kDepth24);
    const media::Bitmap pattern8 = media::testing::makePattern(24, 20, media::kDepth8);
    const media::Bitmap grey = media::testing::makePattern(20, 12, media::kDepthGrey8);
    const media::Bitmap pattern32 = media::testing::makePattern(33, 17, media::kDepth32);

    std::vector<CorpusImage> images = {
        {"rgb640.bmp", 640, 480, 24, 72, 72, 1,
         encodeImage(GUID_ContainerFormatBmp, {frame(GUID_WICPixelFormat24bppBGR, 640, 480)})},
        {"rgb640.jpg", 640, 480, 24, 72, 72, 1,
         encodeImage(GUID_ContainerFormatJpeg, {frame(GUID_WICPixelFormat24bppBGR, 640, 480)})},
        {"dpi300x150.png", 64, 32, 24, 300, 150, 1,
         encodeImage(GUID_ContainerFormatPng, {frame(GUID_WICPixelFormat24bppBGR, 64, 32, 300, 150)})},
        {"dpi300x150.tif", 64, 32, 24, 300, 150, 1,
         encodeImage(GUID_ContainerFormatTiff, {frame(GUID_WICPixelFormat24bppBGR, 64, 32, 300, 150)})},
        {"palette.gif", 50, 40, 8, 72, 72, 1,
         encodeImage(GUID_ContainerFormatGif, {indexedFrame(GUID_WICPixelFormat8bppIndexed, 50, 40, 256)})},
        {"pages.tif", 20, 10, 24, 72, 72, 2,
         encodeImage(GUID_ContainerFormatTiff,
                     {frame(GUID_WICPixelFormat24bppBGR, 20, 10), frame(GUID_WICPixelFormat24bppBGR, 40, 30)})},
        {"grey8.png", 30, 20, 40, 72, 72, 1,
         encodeImage(GUID_ContainerFormatPng, {frame(GUID_WICPixelFormat8bppGray, 30, 20)})},
        {"grey16.png", 30, 20, 40, 72, 72, 1,
         encodeImage(GUID_ContainerFormatPng, {frame(GUID_WICPixelFormat16bppGray, 30, 20)})},
        {"rgb48.png", 30, 20, 24, 72, 72, 1,
         encodeImage(GUID_ContainerFormatPng, {frame(GUID_WICPixelFormat48bppRGB, 30, 20)})},
        {"rgba.png", 30, 20, 32, 72, 72, 1,
         encodeImage(GUID_ContainerFormatPng, {frame(GUID_WICPixelFormat32bppBGRA, 30, 20)})},
        {"grey.jpg", 30, 20, 40, 72, 72, 1,
         encodeImage(GUID_ContainerFormatJpeg, {frame(GUID_WICPixelFormat8bppGray, 30, 20)})},
        {"palette.png", 30, 20, 8, 72, 72, 1,
         encodeImage(GUID_ContainerFormatPng, {indexedFrame(GUID_WICPixelFormat8bppIndexed, 30, 20, 200)})},
        {"indexed4.bmp", 30, 20, 4, 72, 72, 1,
         encodeImage(GUID_ContainerFormatBmp, {indexedFrame(GUID_WICPixelFormat4bppIndexed, 30, 20, 16)})},
        // Named as another format: the content decides.
        {"png_named.jpg", 64, 32, 24, 300, 150, 1,
         encodeImage(GUID_ContainerFormatPng, {frame(GUID_WICPixelFormat24bppBGR, 64, 32, 300, 150)})},
        {"bottom_up.tga", 40, 30, 24, 72, 72, 1, media::testing::writeTga(pattern24, TgaLayout{2, 24, false})},
        {"top_down.tga", 40, 30, 24, 72, 72, 1, media::testing::writeTga(pattern24, TgaLayout{2, 24, true})},
        {"mapped.tga", 24, 20, 8, 72, 72, 1, media::testing::writeTga(pattern8, TgaLayout{1, 8, false})},
        {"tga_named.png", 40, 30, 24, 72, 72, 1, media::testing::writeTga(pattern24, TgaLayout{2, 24, false})},
        {"image.sgi", 40, 30, 24, 72, 72, 1, media::testing::writeSgi(pattern24, SgiLayout{true, 3})},
        {"picture8.pct", 24, 20, 8, 72, 72, 1, pictOf(pattern8)},
        {"picture32.pct", 33, 17, 32, 72, 72, 1, pictOf(pattern32)},
        {"grey.pct", 20, 12, 40, 72, 72, 1, pictOf(grey)},
    };
    return images;
}

struct Corpus {
    std::string folder;
    std::vector<CorpusImage> images;
};

Corpus& theCorpus() {
    static Corpus corpus = [] {
        Corpus made;
        char temp[MAX_PATH + 1];
        GetTempPathA(sizeof temp, temp);
        made.folder = std::string(temp) + "korv_images" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(made.folder.c_str(), nullptr);
        made.images = makeCorpus();
        for (const CorpusImage& image : made.images) {
            writeBytes(made.folder + "\\" + image.name, image.bytes);
        }
        return made;
    }();
    return corpus;
}

}  // namespace

const std::vector<CorpusImage>& corpus() {
    return theCorpus().images;
}

const CorpusImage& corpusImage(const std::string& name) {
    for (const CorpusImage& image : corpus()) {
        if (image.name == name) {
            return image;
        }
    }
    ADD_FAILURE() << "no corpus image " << name;
    return corpus().front();
}

const std::string& corpusFolder() {
    return theCorpus().folder;
}

std::string corpusPath(const std::string& name) {
    return corpusFolder() + "\\" + name;
}

}  // namespace korvane::image_testing
