// The layers under the charts: the one rule that picks what a cell shows
// (precise median, else the cell, else a bound at the resolution), the
// coverage the intervals are worded by, the axes' round ticks, and ratios
// as text.
#include <gtest/gtest.h>

#include "analysis/records/measurement.hpp"
#include "result_fixtures.hpp"
#include "study/charts/chart_data.hpp"
#include "study/charts/chart_scale.hpp"
#include "study/charts/chart_text.hpp"
#include "study/charts/ratio_chart_svg.hpp"

namespace {

using namespace fixtures;
using study::ChartValue;
using study::ValueSource;

TEST(ChartValue, ThePreciseMedianWinsOverTheCellAndKeepsItsIntervalFromTwoRuns) {
  const study::PreciseTime three_runs{0.0123, 0.0119, 0.0131, 3};
  for (const std::optional<std::int64_t> cell : {std::optional<std::int64_t>(1), std::optional<std::int64_t>(0),
                                                 std::optional<std::int64_t>(-4), std::optional<std::int64_t>()}) {
    const ChartValue value = study::chart_value(three_runs, cell);
    EXPECT_EQ(value.source, ValueSource::precise);
    EXPECT_DOUBLE_EQ(value.value, 0.0123);
    ASSERT_TRUE(value.interval);
    EXPECT_DOUBLE_EQ(value.low(), 0.0119);
    EXPECT_DOUBLE_EQ(value.high(), 0.0131);
    EXPECT_EQ(value.hundredths, cell);  // what the file shows stays at hand
  }
  const ChartValue one_run = study::chart_value(study::PreciseTime{0.02, 0.02, 0.02, 1}, 2);
  EXPECT_EQ(one_run.source, ValueSource::precise);
  EXPECT_FALSE(one_run.interval);
}

TEST(ChartValue, WithoutARecordTheCellShowsAndACellOfZeroIsABoundAtTheResolution) {
  const ChartValue cell = study::chart_value(std::nullopt, 37);
  EXPECT_EQ(cell.source, ValueSource::cell);
  EXPECT_DOUBLE_EQ(cell.value, 0.37);
  EXPECT_FALSE(cell.interval);

  const ChartValue zero = study::chart_value(std::nullopt, 0);
  EXPECT_EQ(zero.source, ValueSource::below_resolution);
  EXPECT_TRUE(zero.below_resolution());
  EXPECT_DOUBLE_EQ(zero.value, study::kResolutionSeconds);  // an upper bound
  // Ranked, a cell below the resolution is faster than a cell of one hundredth.
  EXPECT_LT(zero.rank(), study::chart_value(std::nullopt, 1).rank());

  for (const std::optional<std::int64_t> nothing : {std::optional<std::int64_t>(-3), std::optional<std::int64_t>()}) {
    EXPECT_EQ(study::chart_value(std::nullopt, nothing).source, ValueSource::none);
    EXPECT_FALSE(study::chart_value(std::nullopt, nothing).shown());
  }
}

TEST(ChartValue, ScalingAndTheTimeAxisSpanTakeTheIntervalAlong) {
  const ChartValue precise = study::chart_value(study::PreciseTime{2.0, 1.0, 4.0, 5}, 200);
  const ChartValue per_array = precise.scaled(0.5);
  EXPECT_DOUBLE_EQ(per_array.value, 1.0);
  EXPECT_DOUBLE_EQ(per_array.low(), 0.5);
  EXPECT_DOUBLE_EQ(per_array.high(), 2.0);

  study::TimeSpan span;  // one to ten hundredths at least
  span.widen(study::chart_value(std::nullopt, 0));
  span.widen(study::chart_value(std::nullopt, -1));
  EXPECT_DOUBLE_EQ(span.lo, 0.01);
  EXPECT_DOUBLE_EQ(span.hi, 0.1);
  span.widen(precise);
  span.widen(study::chart_value(study::PreciseTime{0.001, 0.0005, 0.002, 3}, 0));
  EXPECT_DOUBLE_EQ(span.lo, 0.0005);
  EXPECT_DOUBLE_EQ(span.hi, 4.0);
}

TEST(ChartRatio, PairedRatiosCarryTheirIntervalAndCellsGiveBoundsWhenOneIsZero) {
  analysis::RatioEstimate paired;
  paired.ratio = 1.02;
  paired.interval = analysis::Interval{0.98, 1.07, 0.75, false};
  const study::ChartRatio undecided = study::chart_ratio(paired, 0, 0);
  EXPECT_TRUE(undecided.ratio.known);
  EXPECT_DOUBLE_EQ(undecided.ratio.value, 1.02);
  ASSERT_TRUE(undecided.interval);
  EXPECT_TRUE(undecided.undecided());

  paired.interval = analysis::Interval{1.01, 1.07, 0.75, false};
  EXPECT_FALSE(study::chart_ratio(paired, 0, 0).undecided());
  paired.interval.coverage = 0;  // one pair: a ratio, no interval
  EXPECT_FALSE(study::chart_ratio(paired, 0, 0).interval);

  const study::ChartRatio at_most = study::chart_ratio(std::nullopt, 0, 20);
  EXPECT_EQ(at_most.ratio.bound, -1);
  EXPECT_DOUBLE_EQ(at_most.ratio.value, 0.05);
  EXPECT_EQ(study::chart_ratio(std::nullopt, 30, 0).ratio.bound, 1);
  EXPECT_FALSE(study::chart_ratio(std::nullopt, 0, 0).ratio.known);
  EXPECT_FALSE(study::chart_ratio(std::nullopt, -2, 5).ratio.known);
}

// tallygrid with a cell of each kind, and the precise times of three runs
// for two cells only: (1, 0) of quicksort, and (2, 2) of both sorts.
class ChartModel : public ::testing::Test {
 protected:
  static std::int64_t quick(std::size_t row, std::size_t column) {
    if (row == 0 && column == 1) return 0;
    if (row == 1 && column == 0) return 0;
    return row == 0 && column == 0 ? 40 : 100;
  }

  void SetUp() override {
    result = *analysis::parse_result_file(tallygrid_file(quick, [](auto, auto) { return 20; })).result;
    const auto& lengths = quickvscount::kTallygrid.lengths;
    const std::vector<std::string> ranges = analysis::find_suite_program("tallygrid")->column_labels();
    for (int repeat = 1; repeat <= 3; ++repeat) {
      const auto add = [&](const char* table, std::size_t row, std::size_t column, std::int64_t nanoseconds) {
        const std::string_view kernel = analysis::find_suite_program("tallygrid")->kernel_of(table, ranges[column]);
        set.add({"tallygrid", table, std::to_string(lengths[row]), ranges[column], std::string(kernel), repeat,
                 static_cast<std::uint32_t>(repeat), 0, nanoseconds});
      };
      add("Quicksort", 1, 0, 1'000'000 * (1 + repeat));
      add("Quicksort", 2, 2, 2'900'000 + 100'000 * repeat);
      add("Countingsort", 2, 2, 1'000'000);
    }
  }

  analysis::ResultFile result;
  analysis::MeasurementSet set;
};

TEST_F(ChartModel, EachCellShowsItsMedianElseItsCellElseABound) {
  const study::PreciseTimes precise(analysis::program_grid(set, "tallygrid"));
  const study::ChartData data(result, precise);
  ASSERT_EQ(data.tables().size(), 2u);
  const study::ChartTable& table = data.tables()[0];
  EXPECT_EQ(table.at(0, 0).source, ValueSource::cell);
  EXPECT_DOUBLE_EQ(table.at(0, 0).value, 0.4);
  EXPECT_EQ(table.at(0, 1).source, ValueSource::below_resolution);
  EXPECT_EQ(table.at(1, 0).source, ValueSource::precise);  // the record sees below the 0 cell
  EXPECT_DOUBLE_EQ(table.at(1, 0).value, 0.003);
  ASSERT_TRUE(table.at(1, 0).interval);
  EXPECT_DOUBLE_EQ(table.at(1, 0).low(), 0.002);
  EXPECT_DOUBLE_EQ(table.at(1, 0).high(), 0.004);

  // Ratios: paired by run where both cells were recorded, else of the cells.
  const study::ChartRatio recorded = data.ratio(0, 1, 2, 2);
  EXPECT_NEAR(recorded.ratio.value, 3.1, 1e-9);
  ASSERT_TRUE(recorded.interval);
  EXPECT_NEAR(recorded.interval->first, 3.0, 1e-9);
  EXPECT_NEAR(recorded.interval->second, 3.2, 1e-9);
  EXPECT_DOUBLE_EQ(data.ratio(0, 1, 0, 0).ratio.value, 2.0);
  EXPECT_EQ(data.ratio(0, 1, 1, 0).ratio.bound, -1);  // one side recorded only: the cells decide
  EXPECT_DOUBLE_EQ(data.ratio(1, 0, 0, 0).ratio.value, 0.5);

  EXPECT_TRUE(data.precise());
  EXPECT_EQ(data.coverage().runs, 3u);
  EXPECT_DOUBLE_EQ(data.coverage().fraction, 0.75);
  EXPECT_FALSE(data.coverage().nominal);
}

TEST_F(ChartModel, WithoutARecordThereIsNoCoverageAndEveryCellIsAsShown) {
  const study::PreciseTimes none;
  const study::ChartData data(result, none);
  EXPECT_FALSE(data.precise());
  EXPECT_EQ(data.coverage().fraction, 0);
  EXPECT_EQ(data.tables()[0].at(1, 0).source, ValueSource::below_resolution);
  EXPECT_EQ(data.tables()[0].at(2, 2).source, ValueSource::cell);
  EXPECT_FALSE(data.ratio(0, 1, 2, 2).interval);
  EXPECT_EQ(result.family, analysis::ProgramFamily::grid_duel);
}

TEST(Coverage, IntervalsAreWordedByTheCoverageTheRunsSupport) {
  EXPECT_EQ(study::median_coverage(1).fraction, 0);
  EXPECT_EQ(study::interval_label(study::median_coverage(1)), "");
  EXPECT_EQ(study::source_note(study::median_coverage(1)), "precise times from the run's record");
  EXPECT_EQ(study::interval_label(study::median_coverage(3)), "min to max of 3 runs (a 75 % interval)");
  EXPECT_EQ(study::source_note(study::median_coverage(3)),
            "medians of 3 runs' precise times; bars: min to max of 3 runs (a 75 % interval)");
  EXPECT_EQ(study::interval_label(study::median_coverage(5)), "min to max of 5 runs (a 94 % interval)");
  const study::Coverage six = study::median_coverage(6);
  EXPECT_TRUE(six.nominal);
  EXPECT_EQ(study::interval_label(six), "95 % interval of the median");
}

std::vector<analysis::RatioSeries> comparison(std::initializer_list<double> coverages) {
  analysis::RatioSeries series{"QSORT", {}};
  for (double coverage : coverages) {
    series.points.push_back({"1000", "10", 1.01, 0.99, 1.03, coverage, false});
  }
  return {series};
}

TEST(Coverage, TheComparisonsChartStatesTheCoverageOfItsIntervals) {
  EXPECT_EQ(study::comparison_bars(study::comparison_coverage(comparison({0.75, 0.75}))), "bars a 75 % interval");
  EXPECT_EQ(study::comparison_bars(study::comparison_coverage(comparison({0.9, 0.75}))),
            "bars at least a 75 % interval");
  EXPECT_EQ(study::comparison_bars(study::comparison_coverage(comparison({0.96, 0.99}))), "bars the 95 % interval");
  EXPECT_EQ(study::comparison_bars(study::comparison_coverage(comparison({0, 0}))), "no interval from one run each");

  const std::string chart = study::ratio_chart_svg("tallygrid", comparison({0.75}));
  EXPECT_NE(chart.find("median per cell, bars a 75 % interval<"), std::string::npos);
  EXPECT_EQ(chart.find("95 %"), std::string::npos);
}

std::vector<double> ticks(double lo, double hi, bool log) { return study::svg::Scale{lo, hi, log, 0, 1}.ticks(); }

TEST(ScaleTicks, LinearStepsAreOneTwoOrFiveTimesAPowerOfTen) {
  EXPECT_EQ(ticks(0, 10, false), (std::vector<double>{0, 2, 4, 6, 8, 10}));
  EXPECT_EQ(ticks(-3, 27, false), (std::vector<double>{0, 5, 10, 15, 20, 25}));
  const std::vector<double> tenths = ticks(0.05, 1.02, false);
  ASSERT_EQ(tenths.size(), 5u);
  EXPECT_NEAR(tenths.front(), 0.2, 1e-12);
  EXPECT_NEAR(tenths.back(), 1.0, 1e-12);
  EXPECT_TRUE(ticks(1, 1, false).empty());
}

TEST(ScaleTicks, LogScalesTickDecadesAndShortRangesTwoAndFiveBetween) {
  EXPECT_EQ(ticks(0.001, 10, true), (std::vector<double>{0.001, 0.01, 0.1, 1, 10}));
  EXPECT_EQ(ticks(0.01, 1, true), (std::vector<double>{0.01, 0.1, 1}));
  EXPECT_EQ(ticks(1, 10, true), (std::vector<double>{1, 2, 5, 10}));
  const std::vector<double> short_range = ticks(0.003, 0.1, true);
  ASSERT_EQ(short_range.size(), 5u);  // 0.005, 0.01, 0.02, 0.05, 0.1
  EXPECT_DOUBLE_EQ(short_range.front(), 0.005);
  EXPECT_DOUBLE_EQ(short_range.back(), 0.1);
  EXPECT_TRUE(ticks(0, 10, true).empty());  // no logarithm of 0
  // The comparison's axis: both ends and equal steps between.
  const std::vector<double> steps = study::svg::Scale{0.99, 1.05, false, 0, 1}.steps(4);
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_DOUBLE_EQ(steps[2], 1.02);
  EXPECT_DOUBLE_EQ(steps[4], 1.05);
}

TEST(RatioText, CellsBoundsAndUnknownRatios) {
  EXPECT_EQ(study::ratio_text(study::ratio_of(200, 100)), "2.0\xc3\x97");
  EXPECT_EQ(study::ratio_text(study::ratio_of(20, 100)), "0.20\xc3\x97");
  EXPECT_EQ(study::ratio_text(study::ratio_of(25, 2)), "13\xc3\x97");  // a whole ratio's half rounds up
  EXPECT_EQ(study::ratio_text(study::ratio_of(0, 20)), "<0.05\xc3\x97");
  EXPECT_EQ(study::ratio_text(study::ratio_of(1200, 0)), ">1200\xc3\x97");
  EXPECT_EQ(study::ratio_text(study::ratio_of(0, 0)), "\xe2\x80\x93");
  EXPECT_EQ(study::ratio_text(study::ratio_of(-5, 10)), "\xe2\x80\x93");
  // A bound that allows 1 decides nothing; one clear of 1 does.
  EXPECT_EQ(study::ratio_of(0, 1).side(), -1);
  EXPECT_EQ(study::ratio_of(1, 0).side(), 1);
}

TEST(RatioText, TicksAndIntervalsKeepTheirDigits) {
  EXPECT_EQ(study::svg::format_tick(0.5, study::svg::TickFormat::ratio), "0.5\xc3\x97");
  EXPECT_EQ(study::ratio_interval_text({2.94, 3.06}),
            "2.9\xe2\x80\x93"
            "3.1");
  EXPECT_EQ(study::ratio_interval_text({0.449, 0.51}),
            "0.45\xe2\x80\x93"
            "0.51");
}

}  // namespace
