#include "module/dispatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iterator>

#include <string>
#include <vector>

#include "core/args.h"
#include "core/host_services.h"
#include "platform/media/messages.h"
#include "tests/support/fake_host.h"
#include "tests/support/parameter_text.h"

namespace korvane {
namespace {

using test::FakeHost;
using test::ParameterText;

// What the test handlers saw, in order.
std::vector<std::string> gCalls;

// Stores "R<command>"; fails with the number given as FAIL=.
Status scriptedHandler(Call& call) {
    const Arguments& args = call.args();
    gCalls.push_back("run" + std::to_string(args.commandIndex()));
    int32_t failure = 0;
    if (args.tagNumberChecked("FAIL", &failure) && failure != 0) {
        return static_cast<Status>(failure);
    }
    const std::string result = "R" + std::to_string(args.commandIndex());
    return call.setResult(result.c_str());
}

Status failingPrepare(Call&) {
    gCalls.push_back("prepare");
    return kFileNotFound;
}

Status recordingFinish(Status status, Call&) {
    gCalls.push_back("finish" + std::to_string(status));
    return status;
}

Status statefulHandler(Call& call) {
    return call.setResult(call.state != nullptr ? "state" : "none");
}

FunctionEntry gTable[kFunctionCount];

void fillTable() {
    for (FunctionEntry& entry : gTable) {
        entry = {"scripted", scriptedHandler};
    }
    gTable[1] = {"three-phase", scriptedHandler, failingPrepare, recordingFinish};
    gTable[2] = {"finish only", scriptedHandler, nullptr, recordingFinish};
    gTable[17] = {"needs state", statefulHandler, nullptr, nullptr, kNoStateFindFile};
}

struct DispatchCase {
    const char* name;
    int32_t number;
    const char* parameters;
    bool withState;
    const char* expectedResult;  // null: nothing stored
    std::vector<std::string> expectedCalls;
};

std::string messagePart(Status status) {
    const char* text = messageForStatus(status);
    return text == nullptr ? "" : std::string(" MESSAGE='") + text + "'";
}

class DispatchTest : public ::testing::TestWithParam<DispatchCase> {
  protected:
    void SetUp() override {
        fillTable();
        gCalls.clear();
    }
};

TEST_P(DispatchTest, AnswersAsExpected) {
    const DispatchCase& row = GetParam();
    FakeHost host;
    // Dispatch only tells a state from none; the handler never looks inside.
    alignas(std::max_align_t) char stateStorage[16] = {};
    Call call;
    call.host = &host;
    call.state = row.withState ? reinterpret_cast<PluginState*>(stateStorage) : nullptr;
    ParameterText text(row.parameters);
    call.arguments = &text;
    runExternalFunction(gTable, row.number, call);
    if (row.expectedResult == nullptr) {
        EXPECT_FALSE(host.result.has_value());
    } else {
        std::string expected = row.expectedResult;
        // Rows write the catalogue's message as {MSG-n}.
        for (Status s : {kParamErr, kFileNotFound}) {
            const std::string marker = "{MSG" + std::to_string(s) + "}";
            if (auto at = expected.find(marker); at != std::string::npos) {
                expected.replace(at, marker.size(), messagePart(s));
            }
        }
        EXPECT_EQ(host.result.value_or("<none>"), expected);
    }
    EXPECT_EQ(gCalls, row.expectedCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Rows,
    DispatchTest,
    ::testing::Values(
        DispatchCase{"one_command", 0, "A", false, "R1", {"run1"}},
        DispatchCase{"later_result_replaces_earlier", 0, "A | B", false, "R2", {"run1", "run2"}},
        DispatchCase{"failure_replaces_earlier_result",
                     0,
                     "A | FAIL=-43",
                     false,
                     "ERROR=-43{MSG-43} ARGS=2",
                     {"run1", "run2"}},
        DispatchCase{"second_of_three_fails_third_never_runs",
                     0,
                     "A | FAIL=-43 | C",
                     false,
                     "ERROR=-43{MSG-43} ARGS=2",
                     {"run1", "run2"}},
        DispatchCase{"single_failure_has_no_args", 0, "FAIL=-50", false, "ERROR=-50{MSG-50}", {"run1"}},
        DispatchCase{"trailing_bars_and_blanks_are_not_a_command",
                     0,
                     "FAIL=-50 | \t\r\n|| ",
                     false,
                     "ERROR=-50{MSG-50}",
                     {"run1"}},
        DispatchCase{"failure_before_unparsed_text_names_command",
                     0,
                     "FAIL=-50 | X",
                     false,
                     "ERROR=-50{MSG-50} ARGS=1",
                     {"run1"}},
        DispatchCase{"positive_status_has_no_message", 0, "FAIL=183", false, "ERROR=183", {"run1"}},
        DispatchCase{"status_without_catalogue_entry", 0, "FAIL=-9999", false, "ERROR=-9999", {"run1"}},
        DispatchCase{"number_40_is_unknown", 40, "A", false, "ERROR=-50{MSG-50}", {}},
        DispatchCase{"number_minus_1_is_unknown", -1, "A", false, "ERROR=-50{MSG-50}", {}},
        DispatchCase{"unknown_number_with_second_command", 40, "A | B", false, "ERROR=-50{MSG-50} ARGS=1", {}},
        DispatchCase{"missing_state_answers_its_code", 17, "", false, "ERROR=9998", {}},
        DispatchCase{"state_is_handed_to_the_handler", 17, "", true, "state", {}},
        DispatchCase{"failing_prepare_skips_run_and_reaches_finish",
                     1,
                     "A | B",
                     false,
                     "ERROR=-43{MSG-43} ARGS=1",
                     {"prepare", "finish-43"}},
        DispatchCase{"finish_sees_last_status",
                     2,
                     "A | FAIL=-50 | C",
                     false,
                     "ERROR=-50{MSG-50} ARGS=2",
                     {"run1", "run2", "finish-50"}},
        DispatchCase{"finish_after_success", 2, "A", false, "R1", {"run1", "finish0"}}),
    [](const ::testing::TestParamInfo<DispatchCase>& info) { return std::string(info.param.name); });

TEST(ErrorReplyTest, FetchFailureNamesNoCommand) {
    FakeHost host;
    Call call;
    call.host = &host;
    ParameterText text("A | B");
    call.arguments = &text;
    storeErrorReply(call, kOutOfMemory, /*parsed=*/false);
    EXPECT_EQ(host.result.value_or(""), "ERROR=-108" + messagePart(kOutOfMemory));
}

TEST(MessageCatalogueTest, EveryMessageFitsAndHasNoApostrophe) {
    // The reply writes messages between apostrophes without escaping them.
    for (int status = -1; status >= -32768; --status) {
        const char* text = messageForStatus(static_cast<Status>(status));
        if (text == nullptr) {
            continue;
        }
        SCOPED_TRACE(status);
        EXPECT_EQ(std::string(text).find('\''), std::string::npos);
        EXPECT_LE(std::string(text).size(), kMaxStringLength);
        const int n = -1 - status;
        unsigned char out[kMaxStringLength + 1];
        ASSERT_TRUE(lookupIndexedString(23000 + n / 100, n % 100 + 1, out));
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out + 1), out[0]), text);
    }
}

TEST(MessageCatalogueTest, EveryErrorStatusHasAMessage) {
    for (Status status : kErrorStatuses) {
        EXPECT_NE(messageForStatus(status), nullptr) << status;
    }
}

TEST(MessageCatalogueTest, EveryMessageBelongsToANamedStatus) {
    for (int status = -1; status >= -32768; --status) {
        if (messageForStatus(static_cast<Status>(status)) != nullptr) {
            EXPECT_NE(std::find(std::begin(kErrorStatuses), std::end(kErrorStatuses), status), std::end(kErrorStatuses))
                << status;
        }
    }
}

TEST(MessageCatalogueTest, OutOfRangeLookupsAnswerNothing) {
    unsigned char out[kMaxStringLength + 1] = {42};
    EXPECT_FALSE(lookupIndexedString(22999, 1, out));
    EXPECT_EQ(out[0], 0);
    EXPECT_FALSE(lookupIndexedString(23000, 0, out));
    EXPECT_FALSE(lookupIndexedString(23000, 101, out));
    EXPECT_FALSE(lookupIndexedString(32767, 100, out));
}

}  // namespace
}  // namespace korvane
