// vela-cli through each generation of the simulated Camera Link serial libraries: the
// real binary, the real dlopen path, the port chosen by its place in the library's list.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/clsimfixture.h"
#include "support/runprogram.h"

namespace vela::test {
namespace {

class CliLibraryTest : public ClSimTest {
  protected:
    void SetUp() override {
        ClSimTest::SetUp();
        InstallTwoBoards();
    }
};

TEST_F(CliLibraryTest, EveryKindReachesTheCameraOnEachListedPortAndNamesAPortBeyondTheList) {
    for (const char* kind : {"cl2000", "cl2001", "cl11"}) {
        SCOPED_TRACE(kind);
        for (const char* port : {"0", "1"}) {
            // --fast: a library read that waits the whole time-out in one call.
            for (const char* pace : {"--timeout=2000", "--fast"}) {
                SCOPED_TRACE(std::string(port) + " " + pace);
                const ProgramResult r =
                    RunProgram(BuiltPath("bin/vela-cli"),
                               {"--kind", kind, "--port", port, pace, "-b", "9600", "get", "MD"});
                EXPECT_EQ(r.exitCode, 0) << r.err;
                EXPECT_EQ(r.out, "MD=VELA-4K-MONO\n");
            }
        }
        const ProgramResult r =
            RunProgram(BuiltPath("bin/vela-cli"), {"--kind", kind, "--port", "2", "-b", "9600", "get", "MD"});
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_NE(r.err.find(std::string("no port 2 in the ") + kind + " library (it reports 2 ports)"),
                  std::string::npos)
            << r.err;
    }
}

}  // namespace
}  // namespace vela::test
