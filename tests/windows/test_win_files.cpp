// The data files on Windows: UTF-16 names, the replace in one step, and
// what a save leaves behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "test_support.h"

namespace {
namespace fs = std::filesystem;
using testing_support::ScratchDir;

std::string utf8(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

// One folder through a save's life: the replace in one step under a Japanese
// name, a failed write that keeps the old file, a read-only save that stays
// read-only, and the temporaries of gone processes swept while a live
// process's are kept.
TEST(WindowsFiles, SavesInAJapaneseFolderReplaceTheOldFileAndLeaveNoTemporary) {
    ScratchDir dir;
    const fs::path folder = dir.path() / fs::path(u8"山田") / fs::path(u8"パチンコ");
    fs::create_directories(folder);
    const fs::path target = folder / "pachiko.dat";
    const std::string name = utf8(target);
    const fs::path gone = folder / "pachiko.dat.tmp-4000000000-0";  // no process has such an id
    const fs::path alive = folder / ("pachiko.dat.tmp-" + std::to_string(GetCurrentProcessId()) + "-7");
    testing_support::writeBytes(gone, {1});
    testing_support::writeBytes(alive, {1});
    const std::vector<uint8_t> first = {1, 2, 3, 4, 5}, second = {9, 8};
    ASSERT_TRUE(platform::writeFileAtomically(name, first.data(), first.size()));
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(fs::remove(alive));
    ASSERT_TRUE(platform::writeFileAtomically(name, second.data(), second.size()));
    std::vector<uint8_t> back;
    ASSERT_TRUE(platform::readFilePrefix(name, 1, back));
    EXPECT_EQ(back, std::vector<uint8_t>{9});

    platform::failNextFileWrites(1);
    EXPECT_FALSE(platform::writeFileAtomically(name, first.data(), first.size()));
    ASSERT_TRUE(platform::readFilePrefix(name, 100, back));
    EXPECT_EQ(back, second);
    EXPECT_FALSE(platform::readFilePrefix(utf8(folder), 100, back));  // a folder is no file

    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(platform::writeFileAtomically(name, first.data(), first.size()));
    EXPECT_NE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(testing_support::readBytes(target), first);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
