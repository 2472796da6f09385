// ImageInfo on web addresses the way FileMaker Pro calls it: a malformed address through the
// module itself answers a status (it once crashed the host), and a stalled or looping server
// answers its status within the limit. For the stalls the test links the entry point's
// static library, so it can shorten the time limits, and the host emulator calls that entry
// point with the module's resources.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/call_record.h"
#include "platform/media/web_source.h"
#include "tests/image/loopback_server.h"
#include "tests/support/module_host.h"

namespace korvane::image_testing {
namespace {

constexpr char kInfo[] = "KImg-ImageInfo";
constexpr uint32_t kShortLimitMs = 2000;
// Room for a loaded, emulated machine beyond the total limit.
constexpr ULONGLONG kSlack = 6000;

std::string errorOf(Status status) {
    return "ERROR=" + std::to_string(status);
}

using WebAddressEndToEnd = test::ModuleTest;

TEST_F(WebAddressEndToEnd, MalformedAddressAnswersAStatus) {
    for (const char* source : {"ftp:", "ftp:x", "ftp:/x", "http:", "http://", "https://:1/"}) {
        SCOPED_TRACE(source);
        EXPECT_TRUE(call(kInfo, std::string("SRC=") + source).starts_with(errorOf(kParamErr)));
    }
}

class WebLimitsEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = media::webLimits();
        media::setWebLimitsForTesting({kShortLimitMs, kShortLimitMs, kShortLimitMs, saved_.redirects});
        ASSERT_TRUE(host.attach(FMExternCallProc, test::moduleBesideProgram())) << host.error();
        ASSERT_EQ(host.startup(), host::kDefaultInterfaceVersion);
    }
    void TearDown() override { media::setWebLimitsForTesting(saved_); }

    // The reply, and the call's duration in `ms`.
    std::string timedCall(const std::string& parameter, ULONGLONG* ms) {
        const ULONGLONG start = GetTickCount64();
        const host::CallResult answer = host.call(*host.findFunction(kInfo), parameter);
        *ms = GetTickCount64() - start;
        EXPECT_TRUE(answer.clean()) << parameter;
        return answer.result;
    }

    media::WebLimits saved_;
    host::Host host;
};

TEST_F(WebLimitsEndToEnd, StalledServerAnswersWithinTheLimit) {
    for (HttpAnswer::Stall stall : {HttpAnswer::Stall::kBeforeAnswer, HttpAnswer::Stall::kInBody}) {
        SCOPED_TRACE(static_cast<int>(stall));
        LoopbackServer server({{"/a.png", HttpAnswer{200, "", std::string(2048, 'x'), true, stall}}});
        ASSERT_TRUE(server.running());
        ULONGLONG ms = 0;
        EXPECT_TRUE(timedCall("SRC='" + server.url("/a.png") + "'", &ms).starts_with(errorOf(media::kWebTimeout)));
        EXPECT_LT(ms, kShortLimitMs + kSlack);
    }
}

TEST_F(WebLimitsEndToEnd, RedirectLoopEndsAtTheLimit) {
    LoopbackServer server({{"/loop", HttpAnswer{302, "Location: /loop\r\n", ""}}});
    ASSERT_TRUE(server.running());
    ULONGLONG ms = 0;
    EXPECT_TRUE(timedCall("SRC='" + server.url("/loop") + "'", &ms).starts_with(errorOf(media::kTooManyRedirects)));
    EXPECT_EQ(server.requests(), saved_.redirects + 1);
}

}  // namespace
}  // namespace korvane::image_testing
