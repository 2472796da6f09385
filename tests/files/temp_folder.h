#pragma once
// Real files for the file tests under Wine: a fresh folder for each test, removed with
// everything in it afterwards (read-only items and over-long paths included), small
// helpers to make items and to read back what is on disk, and paths written as values
// of the command language.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/quoted_text.h"

namespace korvane::test {

// The long-path form (\\?\C:\... or \\?\UNC\server\...) of an absolute path, for items
// whose paths exceed the classic size.
std::wstring longForm(const std::string& path);
bool existsLong(const std::string& path);

bool exists(const std::string& path);
DWORD attributesOf(const std::string& path);

// These take absolute paths and work for paths longer than the classic size too.
void makeFolder(const std::string& path);
// Replaces an existing file.
void writeFile(const std::string& path, const std::string& bytes);
// The whole file, or "<unreadable>".
std::string readFile(const std::string& path);
// Removes a folder and everything in it, whatever the attributes and path lengths.
void removeTree(const std::string& folder);

// A fresh folder, under `parent` (the system's temporary folder by default), removed
// with everything in it when it goes; `label` ends its name.
class TempFolder {
  public:
    explicit TempFolder(std::string parent = {}, const std::string& label = {});
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Empty when no folder could be made.
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

// Marks a folder in a snapshot.
inline constexpr char kFolderMark[] = "<folder>";

// A fresh folder named after the running test, its items named relative to it: a base
// for fixtures (see TempFolderTest).
class TempFolderItems {
  protected:
    TempFolderItems();

    // Whether the folder could be made; fixtures check it in SetUp.
    bool folderMade() const { return !folder_.path().empty(); }

    // Absolute path of `relative` inside the test's folder ("" is the folder itself, with a trailing "\").
    std::string at(const std::string& relative) const { return root_ + relative; }

    void makeFolder(const std::string& relative) { test::makeFolder(at(relative)); }
    void writeFile(const std::string& relative, const std::string& content) { test::writeFile(at(relative), content); }
    std::string readFile(const std::string& relative) const { return test::readFile(at(relative)); }
    bool exists(const std::string& relative) const { return test::exists(at(relative)); }
    void setReadOnly(const std::string& relative);

    // Every item below `relative` (a folder, written without a trailing "\"): relative path -> content,
    // or kFolderMark.
    std::map<std::string, std::string> snapshot(const std::string& relative) const;

  private:
    TempFolder folder_;
    std::string root_;
};

// A test that works in a fresh folder.
class TempFolderTest : public ::testing::Test, protected TempFolderItems {
  protected:
    void SetUp() override { ASSERT_TRUE(folderMade()) << "no temporary folder"; }
};

}  // namespace korvane::test
