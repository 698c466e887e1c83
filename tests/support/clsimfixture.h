#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recordingprompt.h"
#include "support/stopwatch.h"

namespace vela::test {

// Drives the simulated Camera Link serial libraries of the build through environment
// variables, a call trace and a folder that stands in for the 2000 system directory.
class ClSimTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Copies the 2000 simulated library into the system directory under `fileName`.
    void InstallClser(const std::string& fileName);
    // Two boards in every generation: 2000 files libclserA/B, manufacturers Alpha and Beta.
    void InstallTwoBoards();
    // The trace lines written by the libraries since the last call of this.
    std::vector<std::string> TakeTrace();
    // True when a trace line taken so far contains `text`.
    static bool Contains(const std::vector<std::string>& lines, const std::string& text);

    std::string m_systemDir;  // $CLSERIAL_SYSTEM_DIR for the test
    std::string m_tracePath;
    RecordingPrompt m_prompt;

  private:
    std::string m_root;
    std::size_t m_traceRead = 0;
};

// Reads one byte at a time through `read` until CR LF or `timeoutMs`; returns what came.
template <typename ReadFn>
std::string ReadLine(ReadFn read, int timeoutMs) {
    std::string line;
    const vela::test::Stopwatch start;
    while (start.Ms() < static_cast<std::uint32_t>(timeoutMs)) {
        char c = 0;
        if (read(&c) == 1) {
            line.push_back(c);
            if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) break;
        }
    }
    return line;
}

}  // namespace vela::test
