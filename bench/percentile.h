// The figures the latency benchmarks report: a percentile of their samples.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace brevalo::bench {

// The sample at `fraction` (0..1) of the sorted samples, nearest rank; 0 without samples.
inline double Percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  size_t index = static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
  return samples[std::min(index, samples.size() - 1)];
}

}  // namespace brevalo::bench
