// The time and redirect limits of web sources, against loopback servers that stall or loop.
// The limits are shortened here so that each stall is seen in a few seconds.

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/media/web_source.h"
#include "tests/image/loopback_server.h"

namespace korvane::image_testing {
namespace {

constexpr uint32_t kShortReceiveMs = 1500;
constexpr uint32_t kShortTotalMs = 3000;
// Room for a loaded, emulated machine beyond the total limit.
constexpr ULONGLONG kSlack = 6000;

class WebLimitsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = media::webLimits();
        media::WebLimits limits = saved_;
        limits.connectMs = kShortReceiveMs;
        limits.receiveMs = kShortReceiveMs;
        limits.totalMs = kShortTotalMs;
        media::setWebLimitsForTesting(limits);
    }
    void TearDown() override { media::setWebLimitsForTesting(saved_); }

    media::WebLimits saved_;
};

using Stall = HttpAnswer::Stall;

TEST_F(WebLimitsTest, StalledServerAnswersTheTimeLimit) {
    struct Row {
        const char* name;
        HttpAnswer answer;
    };
    const Row rows[] = {
        {"no answer at all", HttpAnswer{200, "", "", true, Stall::kBeforeAnswer}},
        {"half the body", HttpAnswer{200, "", std::string(4096, 'x'), true, Stall::kInBody}},
        {"half the body, no length", HttpAnswer{200, "", std::string(4096, 'x'), false, Stall::kInBody}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server({{"/stall", row.answer}});
        ASSERT_TRUE(server.running());
        media::OwnedBytes bytes;
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(media::downloadUrl(server.url("/stall").c_str(), media::kMaxDownloadBytes, bytes),
                  media::kWebTimeout);
        EXPECT_LT(GetTickCount64() - start, kShortTotalMs + kSlack);
        EXPECT_TRUE(bytes.empty());
    }
}

TEST_F(WebLimitsTest, RedirectsAreFollowedUpToTheLimit) {
    LoopbackServer server({
        {"/loop", HttpAnswer{302, "Location: /loop\r\n", ""}},
        {"/hop1", HttpAnswer{301, "Location: /hop2\r\n", ""}},
        {"/hop2", HttpAnswer{307, "Location: /image\r\n", ""}},
        {"/image", HttpAnswer{200, "", "bytes"}},
        {"/bad", HttpAnswer{302, "Location: ftp:/x\r\n", ""}},
    });
    ASSERT_TRUE(server.running());
    media::OwnedBytes bytes;
    EXPECT_EQ(media::downloadUrl(server.url("/loop").c_str(), media::kMaxDownloadBytes, bytes),
              media::kTooManyRedirects);
    EXPECT_EQ(server.requests(), media::webLimits().redirects + 1);
    EXPECT_EQ(media::downloadUrl(server.url("/hop1").c_str(), media::kMaxDownloadBytes, bytes), kNoErr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data.get()), bytes.size), "bytes");
    EXPECT_EQ(media::downloadUrl(server.url("/bad").c_str(), media::kMaxDownloadBytes, bytes), kParamErr);
}

TEST(WebSourceForm, MalformedAddressesNeverReachTheSystem) {
    for (const char* address : {"ftp:", "ftp:x", "ftp:/x", "http://", "http://:80/"}) {
        SCOPED_TRACE(address);
        media::OwnedBytes bytes;
        EXPECT_EQ(media::downloadUrl(address, media::kMaxDownloadBytes, bytes), kParamErr);
    }
}

}  // namespace
}  // namespace korvane::image_testing
