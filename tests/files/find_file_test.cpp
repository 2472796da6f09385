// KUtl-FindFile on real folders of the test prefix's drives: the order of the matches,
// the end of a search and a restart, the VOLUME forms, the drives LOCALONLY leaves out,
// names that must never be answered or entered, paths too long to answer, and Shift-JIS
// names under code page 932.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files/file_functions.h"
#include "files/file_search.h"
#include "platform/paths/path_text.h"
#include "tests/files/files_fixture.h"
#include "tests/files/sjis_names.h"
#include "tests/support/code_page.h"

namespace korvane {
namespace {

using namespace files_testing;

// The search the tests keep between their calls, as PluginState keeps the module's.
files::FileSearch& testSearch() {
    static files::FileSearch search;
    return search;
}

Status findFile(Call& call) {
    return findFileHandler(call, &testSearch());
}

// A path as a path result answers it.
std::string answerFor(const std::string& path) {
    char text[kPathResultCapacity];
    EXPECT_TRUE(formatPathResult(path.c_str(), text, sizeof text)) << path;
    return text;
}

// What a plain recursive walk finds from `folder`: the folder's own matches, then each
// subfolder not beginning with "." in listing order, depth first.
void referenceWalk(const std::string& folder, const std::string& pattern, std::vector<std::string>* found) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name != "." && name != "..") {
                found->push_back(folder + "\\" + name);
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    search = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && entry.cFileName[0] != '.') {
            referenceWalk(folder + "\\" + entry.cFileName, pattern, found);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

class FindFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testSearch().close();
        ASSERT_FALSE(temp_.path().empty());
    }
    // The search's open listings would keep the folder from being removed.
    void TearDown() override { testSearch().close(); }

    // An extension no other item of the prefix's drives has.
    static std::string uniqueExtension() { return "kq" + std::to_string(GetCurrentProcessId()); }

    // The answers of `first` and of calls without criteria after it, up to the end.
    std::vector<std::string> findAll(const std::string& first, Status* end = nullptr) {
        std::vector<std::string> answers;
        HandlerRun run = runHandler(findFile, first);
        while (run.status == kNoErr) {
            answers.push_back(run.result);
            run = runHandler(findFile, "");
        }
        if (end != nullptr) {
            *end = run.status;
        }
        return answers;
    }

    TempFolder temp_{driveRoot(kDataDrive)};
};

TEST_F(FindFileTest, AnswersEachFoldersMatchesBeforeItsSubfoldersThenEnds) {
    const std::string ext = uniqueExtension();
    const std::string root = temp_.path();
    for (const char* folder : {"a", "a\\aa", "a\\.dot", "b", ".plain"}) {
        makeFolder(root + "\\" + folder);
    }
    makeFolder(root + "\\m7." + ext);  // a folder that matches, and is entered
    for (const std::string& file : std::vector<std::string>{"m1", "a\\m2", "a\\aa\\m3", "a\\.dot\\m4", "b\\m5", "b\\m6",
                                                            ".plain\\m8", "m7." + ext + "\\m9"}) {
        writeFile(root + "\\" + file + "." + ext, "x");
    }
    SetFileAttributesA((root + "\\.plain").c_str(),
                       FILE_ATTRIBUTE_HIDDEN);  // dot-folders stay out whatever their attributes

    std::vector<std::string> expected;
    referenceWalk(std::string(1, kDataDrive) + ":", "*." + ext, &expected);
    ASSERT_EQ(expected.size(), 7u);
    std::vector<std::string> expectedAnswers;
    for (const std::string& path : expected) {
        expectedAnswers.push_back(answerFor(path));
    }

    Status end = kNoErr;
    const std::vector<std::string> answers = findAll("EXTENSION=" + ext + " VOLUME=" + kDataDrive, &end);
    EXPECT_EQ(answers, expectedAnswers);
    EXPECT_EQ(end, kFileNotFound);
    // The end closed the search: a call without criteria has nothing to continue.
    EXPECT_EQ(runHandler(findFile, "").status, kParamErr);
    EXPECT_EQ(clipboardText(), expectedAnswers.back());

    // The root's own match comes first; a folder's match comes before its subfolder's.
    ASSERT_FALSE(answers.empty());
    EXPECT_EQ(answers.front(), answerFor(root + "\\m1." + ext));
    auto at = [&](const std::string& relative) {
        return std::find(answers.begin(), answers.end(), answerFor(root + "\\" + relative + "." + ext)) -
               answers.begin();
    };
    EXPECT_LT(at("a\\m2"), at("a\\aa\\m3"));
    EXPECT_LT(at("m7"), at("m7." + ext + "\\m9"));
}

TEST_F(FindFileTest, NewCriteriaStartOverAndEquivalentCriteriaFindTheSame) {
    const std::string ext = uniqueExtension();
    for (const char* name : {"one", "two", "three"}) {
        writeFile(temp_ / (std::string(name) + "." + ext), "x");
    }
    writeFile(temp_ / (ext + ".jpg"), "x");
    writeFile(temp_ / (ext + ".txt"), "x");

    const std::string criteria = "EXTENSION=" + ext + " VOLUME=T";
    const HandlerRun first = runHandler(findFile, criteria);
    ASSERT_EQ(first.status, kNoErr);
    const HandlerRun second = runHandler(findFile, "");
    ASSERT_EQ(second.status, kNoErr);
    EXPECT_NE(second.result, first.result);
    EXPECT_EQ(runHandler(findFile, criteria).result, first.result);
    EXPECT_EQ(runHandler(findFile, "").result, second.result);

    EXPECT_EQ(findAll("EXTENSION=." + ext + " VOLUME=T"), findAll(criteria));
    EXPECT_EQ(findAll("NAME=" + ext + " FILETYPE=JPEG VOLUME=T:"),
              std::vector<std::string>{answerFor(temp_ / (ext + ".jpg"))});
    // An extension given with the type wins over the type's.
    EXPECT_EQ(findAll("NAME=" + ext + " FILETYPE=JPEG EXTENSION=txt VOLUME=T:"),
              std::vector<std::string>{answerFor(temp_ / (ext + ".txt"))});

    ASSERT_EQ(runHandler(findFile, criteria).status, kNoErr);
    EXPECT_EQ(runHandler(findFile, "FILETYPE=XXXX").status, kParamErr);
    EXPECT_EQ(runHandler(findFile, "").status, kParamErr);                    // the refused criteria closed the search
    EXPECT_EQ(runHandler(findFile, "VOLUME=T LOCALONLY").status, kParamErr);  // no criteria at all
}

TEST_F(FindFileTest, SearchesTheVolumeNamedByLetterLabelOrNetworkForm) {
    const std::string name = "vol" + uniqueExtension();
    struct Row {
        std::string folder;  // where the match is made
        std::string volume;
    };
    const std::string share = std::string("\\\\") + kServer + "\\" + kShare;
    const Row rows[] = {
        {driveRoot(kRemovableDrive), std::string(1, kRemovableDrive)},
        {driveRoot(kCdromDrive), std::string(1, kCdromDrive) + ":"},
        {driveRoot(kDataDrive), kDataLabel},
        {driveRoot(kDataDrive), "korvdata:"},
        {share, std::string(kServer) + "::" + kShare},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.volume);
        TempFolder folder(row.folder);
        ASSERT_FALSE(folder.path().empty());
        writeFile(folder / (name + ".txt"), "x");
        Status end = kNoErr;
        EXPECT_EQ(findAll("NAME=" + name + " VOLUME='" + row.volume + "'", &end),
                  std::vector<std::string>{answerFor(folder / (name + ".txt"))});
        EXPECT_EQ(end, kFileNotFound);
        testSearch().close();
    }
    EXPECT_EQ(runHandler(findFile, "NAME=" + name + " VOLUME=NoSuchLabel").status, kFileNotFound);
    EXPECT_EQ(runHandler(findFile, "").status, kParamErr);
}

TEST(FindFileDrivesTest, LocalOnlyLeavesOutNetworkRemovableAndCdromDrives) {
    EXPECT_TRUE(files::searchesDrive(driveRoot(kDataDrive).c_str(), files::DriveChoice::kLocalOnly));
    EXPECT_TRUE(files::searchesDrive("C:\\", files::DriveChoice::kLocalOnly));
    EXPECT_FALSE(files::searchesDrive(driveRoot(kRemovableDrive).c_str(), files::DriveChoice::kLocalOnly));
    EXPECT_FALSE(files::searchesDrive(driveRoot(kCdromDrive).c_str(), files::DriveChoice::kLocalOnly));
    EXPECT_TRUE(files::searchesDrive(driveRoot(kCdromDrive).c_str(), files::DriveChoice::kEvery));
}

TEST_F(FindFileTest, NeverAnswersTheDotEntries) {
    // "*.*" matches "." and ".." in every folder but a root; they name the folder and its parent.
    TempFolder folder(driveRoot(kRemovableDrive));
    ASSERT_FALSE(folder.path().empty());
    makeFolder(folder / "sub");
    writeFile(folder / "sub\\f.txt", "x");
    std::vector<std::string> expected;
    referenceWalk(std::string(1, kRemovableDrive) + ":", "*.*", &expected);
    std::vector<std::string> expectedAnswers;
    for (const std::string& path : expected) {
        expectedAnswers.push_back(answerFor(path));
    }
    const std::vector<std::string> answers = findAll("NAME=* VOLUME=" + std::string(1, kRemovableDrive));
    EXPECT_EQ(answers, expectedAnswers);
    for (const std::string& answer : answers) {
        EXPECT_NE(answer.substr(answer.size() - 2), "\\.") << answer;
        EXPECT_NE(answer.substr(answer.size() - 3), "\\..") << answer;
    }
    EXPECT_NE(std::find(answers.begin(), answers.end(), answerFor(folder / "sub\\f.txt")), answers.end());
}

TEST_F(FindFileTest, PassesOverPathsTooLongToAnswerOrToList) {
    const std::string ext = uniqueExtension();
    // Folders 41 characters deeper each time, one match in each, until past the classic path size.
    std::vector<std::string> answerable;
    std::string folder = temp_.path();
    for (int depth = 0; folder.size() < 330; ++depth) {
        folder += "\\" + std::string(40, static_cast<char>('a' + depth));
        makeFolder(folder);
        const std::string match = folder + "\\m." + ext;
        const std::string longMatch = folder + "\\" + std::string(60, 'n') + "." + ext;
        writeFile(match, "x");
        writeFile(longMatch, "x");
        for (const std::string& path : {match, longMatch}) {
            if (path.size() <= 255) {
                answerable.push_back(path);
            }
        }
    }
    ASSERT_GE(answerable.size(), 5u);
    std::vector<std::string> answers = findAll("EXTENSION=" + ext + " VOLUME=T");
    std::vector<std::string> expected;
    for (const std::string& path : answerable) {
        expected.push_back(answerFor(path));
    }
    std::sort(answers.begin(), answers.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(answers, expected);
}

TEST_F(FindFileTest, FindsShiftJisNamesWithBackslashCodes) {
    KORVANE_REQUIRE_CODE_PAGE_932();
    using test::kHyou;
    using test::kSo;
    const std::string ext = uniqueExtension();
    makeFolder(temp_ / kHyou);
    makeFolder(temp_ / (kHyou + "\\" + kSo));
    writeFile(temp_ / (kSo + "." + ext), "x");
    writeFile(temp_ / (kHyou + "\\" + kHyou + "." + ext), "x");
    writeFile(temp_ / (kHyou + "\\" + kSo + "\\" + kSo + kHyou + "." + ext), "x");
    const std::vector<std::string> expected = {
        answerFor(temp_ / (kSo + "." + ext)),
        answerFor(temp_ / (kHyou + "\\" + kHyou + "." + ext)),
        answerFor(temp_ / (kHyou + "\\" + kSo + "\\" + kSo + kHyou + "." + ext)),
    };
    EXPECT_EQ(findAll("EXTENSION=" + ext + " VOLUME=T"), expected);
}

}  // namespace
}  // namespace korvane
