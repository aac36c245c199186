// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "common/zoom.h"

namespace {

TEST(Zoom, FittingZoomIsTheLargestStepUpToTheWantedThatFits) {
    const struct {
        int wanted;
        int largestFitting;  // every step up to it fits
        int zoom;
    } table[] = {
        {300, 175, 175},
        {150, 200, 150},
        {300, 0, 100},  // not even the normal size fits: it is still the normal size
        {110, 300, 100},
    };
    for (const auto& row : table) {
        const auto fits = [&](int percent) { return percent <= row.largestFitting; };
        EXPECT_EQ(common::fittingZoom(row.wanted, fits), row.zoom) << row.wanted;
    }
}

}  // namespace
