// Replacing a file whole: the old one survives every failure, and what a replaced file
// was (its permissions, a link to it) stays.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/atomicfile.h"
#include "support/tempconfig.h"

namespace vela::test {
namespace {

namespace fs = std::filesystem;

std::size_t Entries(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicFileTest, ReplacesTheContentAndKeepsPermissionsAndLinks) {
    const std::string folder = ConfigDirForTest() + "/files";
    fs::create_directories(folder);
    const std::string path = folder + "/log.csv";

    ::umask(022);
    ASSERT_TRUE(WriteFileAtomically(path, "first\r\n"));
    EXPECT_EQ(ReadFile(path), "first\r\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));

    fs::permissions(path, fs::perms(0600));
    ASSERT_TRUE(WriteFileAtomically(path, "second\r\n"));
    EXPECT_EQ(ReadFile(path), "second\r\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0600));

    // Through a link the target is replaced, and the link stays a link.
    const std::string link = folder + "/latest.csv";
    fs::create_symlink(path, link);
    ASSERT_TRUE(WriteFileAtomically(link, "third\r\n"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(path), "third\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(Entries(folder), 2u);
}

TEST(AtomicFileTest, FailsWithoutTouchingWhatIsThere) {
    const std::string folder = ConfigDirForTest() + "/files";
    fs::create_directories(folder + "/a-folder");
    WriteFile(folder + "/a-folder/inside", "x");

    EXPECT_FALSE(WriteFileAtomically(folder + "/a-folder", "data"));
    EXPECT_TRUE(fs::is_directory(folder + "/a-folder"));
    EXPECT_EQ(ReadFile(folder + "/a-folder/inside"), "x");
    EXPECT_FALSE(WriteFileAtomically(folder + "/missing/log.csv", "data"));
    EXPECT_FALSE(fs::exists(folder + "/missing"));
    EXPECT_EQ(Entries(folder), 1u);
}

TEST(AtomicFileTest, APipeIsWrittenInPlaceAndStaysAPipe) {
    const std::string folder = ConfigDirForTest() + "/files";
    fs::create_directories(folder);
    const std::string fifo = folder + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A reader is waiting, so the writer's open does not block.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(WriteFileAtomically(fifo, "through the pipe"));
    char buffer[64] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 16);
    EXPECT_STREQ(buffer, "through the pipe");
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Entries(folder), 1u);
}

TEST(AtomicFileTest, InAFolderThisUserMayNotWriteOnlyAWritableFileIsWrittenInPlace) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere; scripts/test-unprivileged runs this";
    const std::string folder = ConfigDirForTest() + "/locked";
    fs::create_directories(folder);
    const std::string path = folder + "/log.csv";
    const std::string readOnly = folder + "/gamma.csv";
    WriteFile(path, "the old and longer content\r\n");
    WriteFile(readOnly, "old\r\n");
    fs::permissions(path, fs::perms(0640));
    fs::permissions(readOnly, fs::perms(0444));
    fs::permissions(folder, fs::perms(0555));

    // No temporary file can be made here, but the file itself may be written: it is
    // overwritten where it stands, cut to the new length, and keeps its permissions.
    EXPECT_TRUE(WriteFileAtomically(path, "new\r\n"));
    EXPECT_FALSE(WriteFileAtomically(readOnly, "new\r\n"));
    EXPECT_FALSE(WriteFileAtomically(folder + "/missing.csv", "new\r\n"));
    fs::permissions(folder, fs::perms(0755));
    EXPECT_EQ(ReadFile(path), "new\r\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_EQ(ReadFile(readOnly), "old\r\n");
    EXPECT_EQ(Entries(folder), 2u);
}

}  // namespace
}  // namespace vela::test
