// Web addresses through WinINet against a loopback server of the test's own: the image is
// read on 200 and after a redirect, a 404 is a failure (not an image of the error page),
// a refused port is WinINet's error, and a download over the limit stops.

#include <gtest/gtest.h>

#include "image/image_info.h"
#include "platform/media/importer.h"
#include "platform/media/web_source.h"
#include "tests/image/image_corpus.h"
#include "tests/image/loopback_server.h"
#include "tests/support/handler_fixture.h"

namespace korvane::image_testing {
namespace {

constexpr Status kCannotConnect = 12029;  // ERROR_INTERNET_CANNOT_CONNECT

class WebSourceTest : public ::testing::Test {
  protected:
    static std::string png() {
        const Bytes& bytes = corpusImage("dpi300x150.png").bytes;
        return std::string(bytes.begin(), bytes.end());
    }
    LoopbackServer server_{{
        {"/image.png", HttpAnswer{200, "Content-Type: image/png\r\n", png()}},
        {"/moved", HttpAnswer{302, "Location: /image.png\r\n", ""}},
        {"/unsized.png", HttpAnswer{200, "", png(), false}},
        {"/error.png", HttpAnswer{500, "", "<html>broken</html>"}},
    }};
};

TEST_F(WebSourceTest, DownloadsWhatTheServerAnswers) {
    ASSERT_TRUE(server_.running());
    struct Row {
        std::string path;
        Status status;
        size_t size;
    };
    const size_t pngSize = png().size();
    const Row rows[] = {
        {"/image.png", kNoErr, pngSize},    {"/moved", kNoErr, pngSize},        {"/unsized.png", kNoErr, pngSize},
        {"/missing.png", kFileNotFound, 0}, {"/error.png", media::kIoError, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        media::OwnedBytes bytes;
        EXPECT_EQ(media::downloadUrl(server_.url(row.path).c_str(), media::kMaxDownloadBytes, bytes), row.status);
        EXPECT_EQ(bytes.size, row.size);
    }
}

TEST_F(WebSourceTest, StopsAtTheSizeLimit) {
    media::OwnedBytes bytes;
    const size_t limit = png().size() - 1;
    EXPECT_EQ(media::downloadUrl(server_.url("/image.png").c_str(), limit, bytes), kOutOfMemory);
    EXPECT_EQ(media::downloadUrl(server_.url("/unsized.png").c_str(), limit, bytes), kOutOfMemory);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(WebSourceTest, RefusedPortIsAFailure) {
    const std::string url = "http://127.0.0.1:" + std::to_string(LoopbackServer::refusedPort()) + "/image.png";
    media::OwnedBytes bytes;
    EXPECT_EQ(media::downloadUrl(url.c_str(), media::kMaxDownloadBytes, bytes), kCannotConnect);
}

TEST_F(WebSourceTest, ImageInfoOfAWebAddress) {
    struct Row {
        std::string parameter;
        Status status;
        const char* result;
    };
    const Row rows[] = {
        {"SRC=" + quotedPath(server_.url("/image.png")), kNoErr, "WIDTH=64 HEIGHT=32 DEPTH=32 RESOLUTION=300,150"},
        {"SRC=" + quotedPath(server_.url("/moved")), kNoErr, "WIDTH=64 HEIGHT=32 DEPTH=32 RESOLUTION=300,150"},
        {"SRC=" + quotedPath(server_.url("/missing.png")), kFileNotFound, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameter);
        const test::HandlerRun run = test::runHandler(imageInfoHandler, row.parameter);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.result, row.result);
    }
}

}  // namespace
}  // namespace korvane::image_testing
