#pragma once
// Timed runs of the sides of a comparison, alternating within each round (A, B, A, B...), so that a
// drift of the machine reaches every side alike. The number of rounds follows what a round costs: a
// paint of a second still lets the whole bench end in reasonable time, a paint of a millisecond is
// run often enough for a steady median.
#include <functional>
#include <vector>

namespace cardel::bench {

struct RoundBudget {
  double seconds = 0.6;  // rounds stop once they have taken this long...
  int minRounds = 1;     // ...but not before this many...
  int maxRounds = 41;    // ...and never past this many
};

struct Side {
  std::function<void()> run;
  // Done untimed before each run, such as restoring the background a paint draws over.
  std::function<void()> prepare;
};

struct Timings {
  std::vector<double> medians;  // seconds, one per side
  double first = 0;             // seconds the first side's untimed first run took (a cold cache's cost)
  int rounds = 0;
};

double Seconds(const std::function<void()>& run);
double Median(std::vector<double> samples);

// One round first, whose times are left out (it fills what the later runs find warm), then timed rounds.
Timings Interleaved(const std::vector<Side>& sides, RoundBudget budget = {});

}  // namespace cardel::bench
