// Throughput of the text layer on the records of a run, in memory (no file system):
// - reading data rows of 43 numbers, blank- and comma-separated, with the list-directed READ;
// - writing waveform records "(F8.3,4(',',E12.4))" with the formatted WRITE;
// - writing echo records (four doubles) with the list-directed WRITE.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "textio/fmtout.h"
#include "textio/listin.h"
#include "textio/listout.h"
#include "textio/unit.h"

namespace {

namespace tio = smfreq::textio;

constexpr int in_unit = 11;
constexpr int out_unit = 10;
constexpr int row_values = 43;
constexpr int rows = 4096;

// Appends v with `decimals` fixed decimals, as a logger writes its values.
void append_fixed(std::string& s, double v, int decimals) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  s.append(buf, r.ptr);
}

// `rows` data rows: a time value with three decimals, then 42 values with four decimals,
// of the size a strong-motion logger writes (tens to hundreds of gal, small noise).
std::string make_rows(char sep) {
  std::mt19937_64 gen(7);
  std::uniform_real_distribution<double> big(-400.0, 400.0);
  std::uniform_real_distribution<double> small(-0.02, 0.02);
  std::string s;
  s.reserve(static_cast<std::size_t>(rows) * 300);
  for (int i = 0; i < rows; ++i) {
    append_fixed(s, i * 0.01, 3);
    for (int k = 1; k < row_values; ++k) {
      s += sep;
      append_fixed(s, (k % 3 == 0) ? big(gen) : small(gen), 4);
    }
    s += '\n';
  }
  return s;
}

void BM_read_rows(benchmark::State& state, char sep) {
  const std::string text = make_rows(sep);
  double row[row_values];
  std::int64_t n = 0;
  for (auto _ : state) {
    tio::attach_memory_input(in_unit, text);
    n = 0;
    while (tio::read_list_doubles(in_unit, row, row_values, true)) ++n;
    benchmark::DoNotOptimize(row);
  }
  tio::reset_units();
  if (n != rows) state.SkipWithError("not every row was read");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
  state.SetItemsProcessed(state.iterations() * rows);
  state.counters["bytes_per_row"] = static_cast<double>(text.size()) / rows;
}
BENCHMARK_CAPTURE(BM_read_rows, blank, ' ')->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_read_rows, comma, ',')->Unit(benchmark::kMicrosecond);

// Sample values of a waveform: times on a 0.01 s grid and signed values over many decades.
struct Samples {
  std::vector<double> t, a, b, c;
};

Samples make_samples() {
  std::mt19937_64 gen(11);
  std::uniform_real_distribution<double> mant(-1.0, 1.0);
  std::uniform_int_distribution<int> dec(-6, 3);
  Samples s;
  for (int i = 0; i < rows; ++i) {
    auto value = [&] { return mant(gen) * std::pow(10.0, dec(gen)); };
    s.t.push_back(i * 0.01);
    s.a.push_back(value());
    s.b.push_back(value());
    s.c.push_back(value());
  }
  return s;
}

// Writes `rows` records of four values with `write(k, samples)` to a memory unit.
template <class Write>
void write_records(benchmark::State& state, Write write) {
  const Samples s = make_samples();
  std::string sink;
  sink.reserve(static_cast<std::size_t>(rows) * 64);
  for (auto _ : state) {
    sink.clear();
    tio::attach_memory_output(out_unit, &sink);
    for (int i = 0; i < rows; ++i) write(static_cast<std::size_t>(i), s);
    tio::flush(tio::unit(out_unit));
    benchmark::DoNotOptimize(sink.data());
  }
  tio::reset_units();
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(sink.size()));
  state.SetItemsProcessed(state.iterations() * rows);
}

void BM_write_waveform_records(benchmark::State& state) {
  static const tio::Format record("(F8.3,4(',',E12.4))");
  write_records(state, [](std::size_t k, const Samples& s) {
    tio::write_formatted(out_unit, record, {s.t[k], s.a[k], s.b[k], s.c[k]});
  });
}
BENCHMARK(BM_write_waveform_records)->Unit(benchmark::kMicrosecond);

void BM_write_echo_records(benchmark::State& state) {
  write_records(state, [](std::size_t k, const Samples& s) {
    tio::write_list(out_unit, {s.t[k], s.a[k], s.b[k], s.c[k]});
  });
}
BENCHMARK(BM_write_echo_records)->Unit(benchmark::kMicrosecond);

}  // namespace
