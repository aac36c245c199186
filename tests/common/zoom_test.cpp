#include <gtest/gtest.h>

#include "common/zoom.h"

namespace {

TEST(Zoom, FittingZoomIsTheLargestStepUpToTheWantedThatFits) {
    const struct {
        int wanted;
        int largestFitting;  // every step up to it fits
        int zoom;
        int asked;  // how many steps were tried
    } table[] = {
        {300, 300, 300, 1}, {300, 175, 175, 6}, {150, 200, 150, 1},
        {300, 0, 100, 8},  // not even the normal size fits: it is still the normal size
        {110, 300, 100, 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.wanted);
        int asked = 0;
        EXPECT_EQ(common::fittingZoom(row.wanted,
                                      [&](int percent) {
                                          ++asked;
                                          return percent <= row.largestFitting;
                                      }),
                  row.zoom);
        EXPECT_EQ(asked, row.asked);
    }
}

}  // namespace
