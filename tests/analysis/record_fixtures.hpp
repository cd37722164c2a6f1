// Hand-made records of repeated runs for the analysis tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/records/measurement.hpp"

namespace fixtures {

struct Place {
  std::string program;
  std::string table;
  std::string row;
  std::string column;
};

struct Run {
  int repeat = 0;
  std::uint32_t seed = 0;
  bool complete = true;
};

// Runs 0 .. count - 1 with seeds first_seed, first_seed + 1, ...
std::vector<Run> runs(int count, std::uint32_t first_seed);

// One measurement of the place per run, with the run's nanoseconds; the
// hundredths follow from them, rounded down. The kernel is the one the
// program's facts give the place, as for a record that names none.
void add_cell(analysis::MeasurementSet& set, const Place& place, const std::vector<Run>& runs,
              const std::vector<double>& nanoseconds);

// As add_cell, each window holding the thread's CPU time too: the run's
// share of its wall time, and one involuntary switch where it lost any.
void add_cell_on_cpu(analysis::MeasurementSet& set, const Place& place, const std::vector<Run>& runs,
                     const std::vector<double>& nanoseconds, const std::vector<double>& cpu_shares);

// The real runs of tallygrid and tallyduel recorded on one machine, busy
// with other work or quiet (data/recorded/busy/, quiet/), each program's
// runs numbered from 0 in file order.
analysis::MeasurementSet recorded_runs(std::string_view folder = "busy");

// Each value times a factor.
std::vector<double> scaled(const std::vector<double>& values, double factor);

// Each value times the factor of its position.
std::vector<double> times(const std::vector<double>& values, const std::vector<double>& factors);

}  // namespace fixtures
