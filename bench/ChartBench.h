#pragma once

// The chart's two speed targets, each against what one would write instead:
// - a 100,000-point line painted into a 1,000 x 800 image, default appearance, in under 50 ms,
//   beside one QPainter::drawPolyline of the same points already in pixels;
// - the chart built from a 100,000-row result in at most twice one plain pass over the two
//   columns' values.
// Prints its figures; returns false when a target is missed.
bool RunChartBenchmark();
