// How well a screenshot shows the test-pattern camera's picture, for the media tests.
#pragma once

#include <QImage>
#include <QRect>

namespace roomtest {

// Share of sampled points of `area` that show the pattern's bars in their order, 0..100,
// whichever frame (bar position) the picture is of. An idle or grey pane scores far
// lower.
int PatternMatch(const QImage& shot, const QRect& area);

}  // namespace roomtest
