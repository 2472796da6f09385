#pragma once
// A fresh folder in the system's temporary folder for each test, removed with
// everything in it afterwards (read-only items and over-long paths included), and
// small helpers to make files and to read back what is on disk.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace korvane::test {

// Marks a folder in a snapshot.
inline constexpr char kFolderMark[] = "<folder>";

class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Absolute path of `relative` inside the test's folder ("" is the folder itself, with a trailing "\").
    std::string at(const std::string& relative) const { return root_ + relative; }

    // Both work for paths longer than the classic size too.
    void makeFolder(const std::string& relative);
    void writeFile(const std::string& relative, const std::string& content);
    std::string readFile(const std::string& relative) const;
    bool exists(const std::string& relative) const;
    void setReadOnly(const std::string& relative);

    // Every item below `relative` (a folder, written without a trailing "\"): relative path -> content,
    // or kFolderMark.
    std::map<std::string, std::string> snapshot(const std::string& relative) const;

  private:
    std::string root_;
};

// A path as a value of the command language: quoted, with its backslashes escaped
// (not the second byte of a double-byte character, which the language leaves alone).
std::string quotedPath(const std::string& path);

// Removes a folder and everything in it, whatever the attributes and path lengths.
void removeTreeForce(const std::string& folder);

// The long-path form (\\?\C:\...) of an absolute path, for items whose paths exceed the classic size.
std::wstring longForm(const std::string& path);
bool existsLong(const std::string& path);

}  // namespace korvane::test
