// numformat_bench: the time per number of the drivers' number formats (the short format in its
// two splits, and the fixed format), on three sets of values:
//
//   conversion  what a conversion writes: plotter units of 0.025 mm up to 1200 mm, an eighth
//               negative, times a plot scale of 1 or 0.7 in long double, and a tenth of values
//               of every size from 1e-4 to 1e6
//   drawing     the plotter units alone
//   rare        values outside the range of the fast paths: 1e-8 to 1.5e-5, 4e4 to 1e14, and
//               zeros, infinities and NaNs
//
//   numformat_bench [--benchmark_filter=REGEX] [--benchmark_repetitions=N]
//
// The counter "per_number" is the time per number.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "output/numformat.h"

namespace {

enum ValueSet { kConversion, kDrawing, kRare };

std::vector<long double> MakeValues(ValueSet set) {
  std::vector<long double> v;
  std::mt19937_64 random(2024);
  std::uniform_int_distribution<int> units(0, 48000);
  std::uniform_int_distribution<int> share(0, 99);
  std::uniform_real_distribution<double> exponent(-4.0, 6.0);
  std::uniform_real_distribution<double> tiny(-8.0, std::log10(1.5e-5));
  std::uniform_real_distribution<double> large(std::log10(4e4), 14.0);
  for (int k = 0; k < 65536; ++k) {
    const int s = share(random);
    long double x;
    if (set == kRare) {
      if (s < 4) {
        x = s == 0   ? 0.0L
            : s == 1 ? std::numeric_limits<long double>::infinity()
                     : std::numeric_limits<long double>::quiet_NaN();
      } else {
        x = std::pow(10.0L, static_cast<long double>(s < 50 ? tiny(random) : large(random)));
      }
    } else if (set == kConversion && s < 10) {
      x = std::pow(10.0L, static_cast<long double>(exponent(random)));
    } else {
      x = units(random) * 0.025L * (s < 55 ? 1.0L : 0.7L);
    }
    v.push_back(s % 8 == 0 ? -x : x);
  }
  return v;
}

const std::vector<long double>& Values(const benchmark::State& state) {
  static const std::vector<long double> sets[] = {MakeValues(kConversion), MakeValues(kDrawing),
                                                  MakeValues(kRare)};
  return sets[state.range(0)];
}

void PerNumber(benchmark::State& state, std::size_t count) {
  state.counters["per_number"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void ValueSets(benchmark::internal::Benchmark* b) {
  b->ArgName("set")->Arg(kConversion)->Arg(kDrawing)->Arg(kRare);
}

void BM_ShortDecimalsOf(benchmark::State& state) {
  const std::vector<long double>& values = Values(state);
  for (auto _ : state) {
    int sum = 0;
    for (long double x : values) sum += plotvue::ShortDecimalsOf(x, 3);
    benchmark::DoNotOptimize(sum);
  }
  PerNumber(state, values.size());
}
BENCHMARK(BM_ShortDecimalsOf)->Apply(ValueSets);

// The two steps of the Pascal x number apart: the units (made on the reading thread)...
void BM_ShortUnits(benchmark::State& state) {
  const std::vector<long double>& values = Values(state);
  for (auto _ : state) {
    std::uint64_t sum = 0;
    for (long double x : values) {
      std::uint64_t packed = 0;
      plotvue::ShortUnits(x, 3, packed);
      sum += packed;
    }
    benchmark::DoNotOptimize(sum);
  }
  PerNumber(state, values.size());
}
BENCHMARK(BM_ShortUnits)->Apply(ValueSets);

// ...and their text (written on the converting thread).
void BM_PutShortUnits(benchmark::State& state) {
  const std::vector<long double>& values = Values(state);
  std::vector<std::uint64_t> units;
  for (long double x : values) {
    std::uint64_t packed = 0;
    if (plotvue::ShortUnits(x, 3, packed)) units.push_back(packed);
  }
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (std::uint64_t packed : units) {
      benchmark::DoNotOptimize(plotvue::PutShortUnits(buf, packed));
    }
    benchmark::ClobberMemory();
  }
  PerNumber(state, units.size());
}
BENCHMARK(BM_PutShortUnits)->Apply(ValueSets);

// The Pascal x number: the units, then the text.
void BM_ShortUnitsAndText(benchmark::State& state) {
  const std::vector<long double>& values = Values(state);
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (long double x : values) {
      std::uint64_t packed;
      if (plotvue::ShortUnits(x, 3, packed)) {
        benchmark::DoNotOptimize(plotvue::PutShortUnits(buf, packed));
      }
    }
    benchmark::ClobberMemory();
  }
  PerNumber(state, values.size());
}
BENCHMARK(BM_ShortUnitsAndText)->Apply(ValueSets);

// The same for a number that the caller has just computed in long double (as the conversion's
// coordinates are): it passes the number from an x87 register, through an 80-bit store.
void BM_ShortUnitsAndTextOfComputed(benchmark::State& state) {
  const std::vector<long double>& values = Values(state);
  volatile long double scale = 1.0L;
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    const long double f = scale;
    for (long double x : values) {
      std::uint64_t packed;
      if (plotvue::ShortUnits(x * f, 3, packed)) {
        benchmark::DoNotOptimize(plotvue::PutShortUnits(buf, packed));
      }
    }
    benchmark::ClobberMemory();
  }
  PerNumber(state, values.size());
}
BENCHMARK(BM_ShortUnitsAndTextOfComputed)->Apply(ValueSets);

// The Pascal y number: its text from the decimals chosen ahead.
void BM_PutShortWithDecimals(benchmark::State& state) {
  const std::vector<long double>& values = Values(state);
  std::vector<int> decimals;
  for (long double x : values) decimals.push_back(plotvue::ShortDecimalsOf(x, 3));
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (std::size_t k = 0; k < values.size(); ++k) {
      benchmark::DoNotOptimize(plotvue::PutShortWithDecimals(buf, values[k], decimals[k]));
    }
    benchmark::ClobberMemory();
  }
  PerNumber(state, values.size());
}
BENCHMARK(BM_PutShortWithDecimals)->Apply(ValueSets);

// Both steps of the short format in one call.
void BM_PutShort(benchmark::State& state) {
  const std::vector<long double>& values = Values(state);
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (long double x : values) benchmark::DoNotOptimize(plotvue::PutShort(buf, x, 3));
    benchmark::ClobberMemory();
  }
  PerNumber(state, values.size());
}
BENCHMARK(BM_PutShort)->Apply(ValueSets);

void BM_PutFixed(benchmark::State& state) {
  const std::vector<long double>& values = Values(state);
  char buf[plotvue::kNumberRoom];
  for (auto _ : state) {
    for (long double x : values) benchmark::DoNotOptimize(plotvue::PutFixed(buf, x, 3, 3));
    benchmark::ClobberMemory();
  }
  PerNumber(state, values.size());
}
BENCHMARK(BM_PutFixed)->Apply(ValueSets);

// The CNC x number: FixedUnits on one thread, its text on the other.
void BM_FixedUnitsAndText(benchmark::State& state) {
  const std::vector<long double>& values = Values(state);
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
  PerNumber(state, values.size());
}
BENCHMARK(BM_FixedUnitsAndText)->Apply(ValueSets);

}  // namespace

BENCHMARK_MAIN();
