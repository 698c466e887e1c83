// The online bar of a window.
#include <gtest/gtest.h>

#include <QImage>

#include "dialogs/statusstrip.h"
#include "protocol/onlinestatusregistry.h"

namespace vela {
namespace {

TEST(StatusStripTest, FillsWithTheBitmapColour) {
    StatusStrip strip(1069);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOfflineBarRgb));
    strip.ShowOnline(true);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOnlineBarRgb));
    strip.resize(300, strip.sizeHint().height());
    const QImage picture = strip.grab().toImage();
    EXPECT_EQ(picture.pixelColor(20, picture.height() / 2), QColor::fromRgb(kOnlineBarRgb));
    EXPECT_EQ(picture.pixelColor(150, picture.height() / 2), QColor::fromRgb(kOnlineBarRgb));
    strip.ShowOnline(false);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOfflineBarRgb));

    // The same state told again leaves the picture; after another bitmap it comes back.
    strip.ShowOnline(false);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOfflineBarRgb));
    strip.SetBitmap(QPixmap());
    EXPECT_EQ(strip.FillColor(), QColor(Qt::gray));
    strip.ShowOnline(false);
    EXPECT_EQ(strip.FillColor(), QColor::fromRgb(kOfflineBarRgb));
}

}  // namespace
}  // namespace vela
