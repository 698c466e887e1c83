// Files replaced whole on Windows: moved over the target, never a temporary file left
// behind, a read-only file or a folder refused and left as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/atomicfile.h"
#include "platform/win32text.h"
#include "support/tempconfig.h"

namespace vela::test {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileWin32, ReplacesWholeAndRefusesReadOnlyFilesAndFolders) {
    const std::string folder = ConfigDirForTest();
    const std::string file = folder + "\\settings.cam";
    EXPECT_TRUE(WriteFileAtomically(file, "first\r\n"));
    EXPECT_TRUE(WriteFileAtomically(file, "second\r\n"));
    EXPECT_EQ(ReadFile(file), "second\r\n");

    {
        AtomicFile unfinished;
        ASSERT_TRUE(unfinished.Open(file));
        ASSERT_TRUE(unfinished.Write("never committed"));
    }
    EXPECT_EQ(ReadFile(file), "second\r\n");

    ASSERT_TRUE(::SetFileAttributesW(Widen(file).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteFileAtomically(file, "third\r\n"));
    EXPECT_EQ(ReadFile(file), "second\r\n");
    ::SetFileAttributesW(Widen(file).c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_FALSE(WriteFileAtomically(folder, "x"));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, 1);  // no temporary file stayed
}

}  // namespace
}  // namespace vela::test
