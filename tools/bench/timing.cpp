#include "timing.h"

#include <algorithm>
#include <chrono>

namespace cardel::bench {

double Seconds(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

Timings Interleaved(const std::vector<Side>& sides, RoundBudget budget) {
  Timings timings;
  std::vector<std::vector<double>> samples(sides.size());
  const auto round = [&](bool keep) {
    double spent = 0;
    for (size_t i = 0; i < sides.size(); ++i) {
      if (sides[i].prepare) sides[i].prepare();
      const double seconds = Seconds(sides[i].run);
      spent += seconds;
      if (keep) samples[i].push_back(seconds);
      if (!keep && i == 0) timings.first = seconds;
    }
    return spent;
  };
  round(false);
  double spent = 0;
  while (timings.rounds < budget.maxRounds && (timings.rounds < budget.minRounds || spent < budget.seconds)) {
    spent += round(true);
    ++timings.rounds;
  }
  for (auto& s : samples) timings.medians.push_back(Median(std::move(s)));
  return timings;
}

}  // namespace cardel::bench
