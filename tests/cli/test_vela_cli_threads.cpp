// vela-cli with one thread per camera, built with ThreadSanitizer in the tsan preset: four
// cameras written and logged at once, and no line of one camera's log broken by another's;
// then all sixteen ports searched at once.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/configpaths.h"
#include "support/cameraonport.h"
#include "support/runprogram.h"
#include "support/tempconfig.h"

namespace vela {
namespace {

TEST(CliThreads, FourCamerasAtOnceWithTheirLogLinesWhole) {
    std::vector<std::unique_ptr<sim::PtyCamera>> cameras(4);
    for (int n = 1; n <= 4; ++n) ASSERT_EQ(test::StartPtyCamera(cameras[n - 1], n), "");
    const std::string file = ConfigDir() + "/line.cam";
    std::string lines;
    for (int i = 0; i < 12; ++i)
        lines += "GA=" + std::to_string(200 + i) + "\r\nBL=" + std::to_string(i) + "\r\n";
    test::WriteFile(file, lines);

    const test::ProgramResult r = test::RunProgram(test::BuiltPath("bin/vela-cli"),
                                                   {"-b", "9600", "-v", "-p", "COM1-COM4", "apply", file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::istringstream err(r.err);
    int logged = 0;
    for (std::string line; std::getline(err, line); ++logged)
        EXPECT_TRUE(
            std::regex_match(line, std::regex("COM[1-4]: (Tx|Rx): ([A-Z0-9]+[=?][-A-Z0-9.]*|COMPLETE)")))
            << line;
    // Per camera: the model query and its answer, then each line of the file and its answer.
    EXPECT_EQ(logged, 4 * 2 * (1 + 24));
    for (const auto& camera : cameras) {
        EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return c.Value("GA").value_or(-1); }), 211);
        EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return c.Value("BL").value_or(-1); }), 11);
    }

    // The search of every port at once, each camera's document kept for the array.
    const test::ProgramResult all = test::RunProgram(
        test::BuiltPath("bin/vela-cli"), {"-b", "9600", "-t", "300", "-p", "all", "--json", "get", "GA"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    std::size_t objects = 0;
    for (std::size_t at = 0; (at = all.out.find("\"result\":{\"GA\":211}", at)) != std::string::npos; ++at)
        ++objects;
    EXPECT_EQ(objects, 4u) << all.out;
}

}  // namespace
}  // namespace vela
