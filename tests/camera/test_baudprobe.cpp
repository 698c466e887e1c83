// The baud-rate search against the simulated camera, which answers only at its own rate.
#include "camera/baudprobe.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/camerafixture.h"

namespace vela::test {
namespace {

class BaudProbeTest : public CameraTest {};

TEST_F(BaudProbeTest, StopsAtTheCamerasRateAndReportsEachRateTried) {
    sim::CameraOptions options;
    options.baudRate = 38400;
    Connect(options);
    link.SetBaudRate(9600);

    std::vector<int> tried;
    EXPECT_EQ(ProbeBaudRates(link, model, [&](int index) { tried.push_back(index); }), 1);
    EXPECT_EQ(tried, (std::vector<int>{4, 3, 2}));
    EXPECT_EQ(link.GetBaudRate(), 38400);
}

TEST_F(BaudProbeTest, SilentCameraTriesEveryRateAndEndsAt9600) {
    Connect();
    camera->SetFailure(sim::FailureMode::Silent);
    std::vector<int> tried;
    EXPECT_EQ(ProbeBaudRates(link, model, [&](int index) { tried.push_back(index); }), 0);
    EXPECT_EQ(tried, (std::vector<int>{4, 3, 2, 1, 0}));
    EXPECT_EQ(link.GetBaudRate(), 9600);
}

}  // namespace
}  // namespace vela::test
