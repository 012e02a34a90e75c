// How well a screenshot shows the test-pattern camera's picture, for the media tests.
#pragma once

#include <QImage>
#include <QRect>

namespace roomtest {

// Share of sampled points of `area` that follow the pattern's (moving) bars, 0..100:
// each column may match a bar a few pixels away. An idle or grey pane scores far lower.
int PatternMatch(const QImage& shot, const QRect& area);

}  // namespace roomtest
