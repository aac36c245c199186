// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

namespace common {

// A window's zoom in percent: the normal size up to three times it, in even steps.
inline constexpr int kZoomNormal = 100;
inline constexpr int kZoomLargest = 300;
inline constexpr int kZoomStep = 25;

bool isZoomStep(int percent);
// The next step up or down; the ends stay where they are.
int zoomedIn(int percent);
int zoomedOut(int percent);
// The largest step up to wanted at which the window fits (the normal size when none does), so
// that a zoom chosen on a large screen never puts the window past a smaller one's edge.
int fittingZoom(int wanted, const std::function<bool(int)>& fits);

}  // namespace common
