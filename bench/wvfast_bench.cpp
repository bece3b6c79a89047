// Time of one forward transform at a short, a medium and the longest transform length.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "transform/wvfast.h"

namespace {

void BM_wvfast(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  std::vector<smfreq::cplx> input(static_cast<std::size_t>(n));
  std::mt19937_64 gen(1);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (smfreq::cplx& c : input) c = smfreq::cplx{u(gen), 0.0};
  std::vector<smfreq::cplx> a(input.size());

  for (auto _ : state) {
    // Fresh data each time: repeated transforms would grow the values by n per pass.
    state.PauseTiming();
    a = input;
    state.ResumeTiming();
    smfreq::wvfast(n, a.data(), -1);
    benchmark::DoNotOptimize(a.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(BM_wvfast)->Arg(1024)->Arg(16384)->Arg(131072)->Unit(benchmark::kMillisecond);

}  // namespace
