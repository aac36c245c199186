// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/zoom.h"

#include <algorithm>

namespace common {

bool isZoomStep(int percent) {
    return percent >= kZoomNormal && percent <= kZoomLargest &&
           (percent - kZoomNormal) % kZoomStep == 0;
}

int zoomedIn(int percent) {
    return std::min(kZoomLargest, percent + kZoomStep);
}

int zoomedOut(int percent) {
    return std::max(kZoomNormal, percent - kZoomStep);
}

int fittingZoom(int wanted, const std::function<bool(int)>& fits) {
    int percent = isZoomStep(wanted) ? wanted : kZoomNormal;
    while (percent > kZoomNormal && !fits(percent)) {
        percent -= kZoomStep;
    }
    return percent;
}

}  // namespace common
