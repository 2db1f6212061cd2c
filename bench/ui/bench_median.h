// The median of a benchmark's repeated measurements: every figure a UI
// benchmark prints is the middle of its runs, so one slow run (a page fault,
// the other core busy) moves nothing. Header only, so benchmarks that need
// none of ui_bench_support's page machinery share it too.
#pragma once

#include <algorithm>
#include <vector>

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}
