// numformat_bench: the time per number of the drivers' number formats (the short format in its
// two splits, and the fixed format) on the values a conversion writes: plotter units of 0.025 mm
// up to 1200 mm, some negative, times a plot scale of 1 or 0.7 in long double, and a share of
// values of every size between 1e-4 and 1e6.
//
//   numformat_bench [--benchmark_filter=REGEX] [--benchmark_repetitions=N]
//
// The counter "per_number" is the time per number.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "output/numformat.h"

namespace {

const std::vector<long double>& Values() {
  static const std::vector<long double> values = [] {
    std::vector<long double> v;
    std::mt19937_64 random(2024);
    std::uniform_int_distribution<int> units(0, 48000);
    std::uniform_int_distribution<int> share(0, 99);
    std::uniform_real_distribution<double> exponent(-4.0, 6.0);
    for (int k = 0; k < 65536; ++k) {
      const int s = share(random);
      long double x;
      if (s < 10) {
        x = std::pow(10.0L, static_cast<long double>(exponent(random)));
      } else {
        x = units(random) * 0.025L * (s < 55 ? 1.0L : 0.7L);
      }
      v.push_back(s % 8 == 0 ? -x : x);
    }
    return v;
  }();
  return values;
}

void PerNumber(benchmark::State& state) {
  state.counters["per_number"] = benchmark::Counter(
      static_cast<double>(Values().size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ShortDecimalsOf(benchmark::State& state) {
  const std::vector<long double>& values = Values();
  for (auto _ : state) {
    int sum = 0;
    for (long double x : values) sum += plotvue::ShortDecimalsOf(x, 3);
    benchmark::DoNotOptimize(sum);
  }
  PerNumber(state);
}
BENCHMARK(BM_ShortDecimalsOf);

// The two steps of the Pascal x number apart: the units (made on the reading thread)...
void BM_ShortUnits(benchmark::State& state) {
  const std::vector<long double>& values = Values();
  for (auto _ : state) {
    std::uint64_t sum = 0;
    for (long double x : values) {
      std::uint64_t packed = 0;
      plotvue::ShortUnits(x, 3, packed);
      sum += packed;
    }
    benchmark::DoNotOptimize(sum);
  }
  PerNumber(state);
}
BENCHMARK(BM_ShortUnits);

// ...and their text (written on the converting thread).
void BM_PutShortUnits(benchmark::State& state) {
  const std::vector<long double>& values = Values();
  std::vector<std::uint64_t> units;
  for (long double x : values) {
    std::uint64_t packed = 0;
    if (plotvue::ShortUnits(x, 3, packed)) units.push_back(packed);
  }
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (std::uint64_t packed : units)
      benchmark::DoNotOptimize(plotvue::PutShortUnits(buf, packed));
    benchmark::ClobberMemory();
  }
  state.counters["per_number"] = benchmark::Counter(
      static_cast<double>(units.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PutShortUnits);

// The conversion's Pascal x number: the units on one thread, the text on the other.
void BM_ShortUnitsAndText(benchmark::State& state) {
  const std::vector<long double>& values = Values();
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (long double x : values) {
      std::uint64_t packed;
      if (plotvue::ShortUnits(x, 3, packed))
        benchmark::DoNotOptimize(plotvue::PutShortUnits(buf, packed));
    }
    benchmark::ClobberMemory();
  }
  PerNumber(state);
}
BENCHMARK(BM_ShortUnitsAndText);

// The Pascal y number: its text from the decimals chosen ahead.
void BM_PutShortWithDecimals(benchmark::State& state) {
  const std::vector<long double>& values = Values();
  std::vector<int> decimals;
  for (long double x : values) decimals.push_back(plotvue::ShortDecimalsOf(x, 3));
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (std::size_t k = 0; k < values.size(); ++k) {
      benchmark::DoNotOptimize(plotvue::PutShortWithDecimals(buf, values[k], decimals[k]));
    }
    benchmark::ClobberMemory();
  }
  PerNumber(state);
}
BENCHMARK(BM_PutShortWithDecimals);

// Both steps of the short format in one call.
void BM_PutShort(benchmark::State& state) {
  const std::vector<long double>& values = Values();
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (long double x : values) benchmark::DoNotOptimize(plotvue::PutShort(buf, x, 3));
    benchmark::ClobberMemory();
  }
  PerNumber(state);
}
BENCHMARK(BM_PutShort);

void BM_PutFixed(benchmark::State& state) {
  const std::vector<long double>& values = Values();
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (long double x : values) benchmark::DoNotOptimize(plotvue::PutFixed(buf, x, 3, 3));
    benchmark::ClobberMemory();
  }
  PerNumber(state);
}
BENCHMARK(BM_PutFixed);

// The CNC x number: FixedUnits on one thread, its text on the other.
void BM_FixedUnitsAndText(benchmark::State& state) {
  const std::vector<long double>& values = Values();
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (long double x : values) {
      std::uint64_t units;
      if (plotvue::FixedUnits(x, 3, 3, units)) {
        benchmark::DoNotOptimize(plotvue::PutFixedUnits(buf, units, 3, 3));
      }
    }
    benchmark::ClobberMemory();
  }
  PerNumber(state);
}
BENCHMARK(BM_FixedUnitsAndText);

}  // namespace

BENCHMARK_MAIN();
