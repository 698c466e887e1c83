// The question before a save replaces a file: asked for whatever the path already names,
// a link whose target is gone included, and the save goes ahead only on Yes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/filedialog.h"
#include "support/recordingprompt.h"
#include "support/tempconfig.h"

namespace vela::test {
namespace {

namespace fs = std::filesystem;

TEST(ConfirmReplaceTest, AsksOnlyWhenThePathNamesSomethingAndFollowsTheAnswer) {
    const std::string folder = ConfigDirForTest() + "/saves";
    fs::create_directories(folder);
    RecordingPrompt prompt;

    EXPECT_TRUE(ConfirmReplace(folder + "/new.csv"));
    EXPECT_TRUE(prompt.entries().empty());

    const std::string file = folder + "/old.csv";
    WriteFile(file, "keep\r\n");
    std::vector<std::string> paths = {file};
#ifndef _WIN32
    // A link whose target is gone still names something (Windows users make no such links).
    const std::string dangling = folder + "/gone.csv";
    fs::create_symlink(folder + "/nowhere.csv", dangling);
    paths.push_back(dangling);
#endif
    for (const std::string& path : paths) {
        prompt.clear();
        prompt.ScriptAnswers({PromptAnswer::No, PromptAnswer::Yes});
        EXPECT_FALSE(ConfirmReplace(path)) << path;
        EXPECT_TRUE(ConfirmReplace(path)) << path;
        ASSERT_EQ(prompt.entries().size(), 2u) << path;
        EXPECT_EQ(prompt.entries()[0].text, path + "\nThis file already exists.\nReplace existing file?");
        EXPECT_EQ(prompt.entries()[0].buttons, PromptButtons::YesNo);
    }
    EXPECT_EQ(ReadFile(file), "keep\r\n");
}

}  // namespace
}  // namespace vela::test
