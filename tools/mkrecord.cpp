// smfreq-mkrecord: writes a seeded synthetic strong-motion record in the logger layout that
// smfreq reads: a line of column titles, a line of units, then one row per time step holding the
// time value and 42 further values.
//
// The three channels that smfreq processes are values 13, 14 and 16 after the time value (NS, EW
// and UD of station ST0). They are a stationary random process (uniform white noise through a
// Kanai-Tajimi ground filter and a Clough-Penzien high-pass, so that velocity and displacement do
// not drift) shaped by a strong-motion envelope: quiet pre-event noise, a quadratic rise, a strong
// phase of constant intensity and an exponential decay. Each channel is made zero-mean and scaled
// to a peak ground acceleration of a few hundred gal (UD smaller). The other 39 values are the
// records of eight neighbouring stations (delayed, weaker copies of ST0 plus sensor noise), a
// trigger flag and housekeeping values (temperatures, supply voltages, GPS state).
//
// The same options and seed give the same bytes: the random numbers come from a fixed generator
// (xoshiro256**) and every number is written from an integer rounding of its value.

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Options

struct Options {
  std::int64_t rows = 4000;
  double dt = 0.01;
  char sep = ',';
  std::uint64_t seed = 1;
  std::string output = "-";
};

constexpr std::int64_t max_rows = 10'000'000;

void usage(std::FILE* f) {
  std::fputs(
      "usage: smfreq-mkrecord [-n ROWS] [-d DT] [-s comma|blank] [-r SEED] [-o PATH]\n"
      "  -n, --rows ROWS     number of data rows (default 4000, at most 10000000)\n"
      "  -d, --dt DT         sampling interval in seconds (default 0.01)\n"
      "  -s, --sep SEP       value separator: comma (default) or blank\n"
      "  -r, --seed SEED     random seed, a non-negative integer (default 1)\n"
      "  -o, --output PATH   output file (default -, standard output)\n"
      "Writes a synthetic three-component accelerogram (gal) in the record layout smfreq reads:\n"
      "a title line, a units line, then rows of the time and 42 values; the processed channels\n"
      "are values 13 (NS), 14 (EW) and 16 (UD) after the time.\n",
      f);
}

[[noreturn]] void fail_usage(const std::string& msg) {
  std::fprintf(stderr, "smfreq-mkrecord: %s\n", msg.c_str());
  usage(stderr);
  std::exit(2);
}

template <class Int>
Int parse_int(std::string_view text, const char* what) {
  Int v{};
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || p != text.data() + text.size() || text.empty()) {
    fail_usage(std::string("bad ") + what + ": '" + std::string(text) + "'");
  }
  return v;
}

double parse_double(std::string_view text, const char* what) {
  double v = 0.0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || p != text.data() + text.size() || text.empty()) {
    fail_usage(std::string("bad ") + what + ": '" + std::string(text) + "'");
  }
  return v;
}

Options parse_options(int argc, char** argv) {
  Options o;
  for (int k = 1; k < argc; ++k) {
    std::string_view a = argv[k];
    if (a == "-h" || a == "--help") {
      usage(stdout);
      std::exit(0);
    }
    // Accept both "--opt value" and "--opt=value".
    std::string_view value;
    bool inline_value = false;
    if (a.starts_with("--")) {
      if (auto eq = a.find('='); eq != std::string_view::npos) {
        value = a.substr(eq + 1);
        a = a.substr(0, eq);
        inline_value = true;
      }
    }
    auto next = [&]() -> std::string_view {
      if (inline_value) return value;
      if (k + 1 >= argc) fail_usage("option " + std::string(a) + " needs a value");
      return argv[++k];
    };
    if (a == "-n" || a == "--rows") {
      o.rows = parse_int<std::int64_t>(next(), "row count");
      if (o.rows < 0 || o.rows > max_rows) fail_usage("row count must be 0 to 10000000");
    } else if (a == "-d" || a == "--dt") {
      o.dt = parse_double(next(), "sampling interval");
      if (!(o.dt >= 1e-6 && o.dt <= 10.0)) fail_usage("sampling interval must be 1e-6 to 10 s");
    } else if (a == "-s" || a == "--sep") {
      std::string_view s = next();
      if (s == "comma") {
        o.sep = ',';
      } else if (s == "blank") {
        o.sep = ' ';
      } else {
        fail_usage("separator must be comma or blank");
      }
    } else if (a == "-r" || a == "--seed") {
      o.seed = parse_int<std::uint64_t>(next(), "seed");
    } else if (a == "-o" || a == "--output") {
      o.output = std::string(next());
      if (o.output.empty()) fail_usage("empty output path");
    } else {
      fail_usage("unknown argument '" + std::string(a) + "'");
    }
  }
  return o;
}

// ---------------------------------------------------------------------------------------------
// Random numbers: xoshiro256** seeded through splitmix64, so a seed gives the same stream on
// every platform and standard library.

class Rng {
 public:
  explicit Rng(std::uint64_t seed) {
    for (auto& w : s_) {
      seed += 0x9e3779b97f4a7c15ULL;
      std::uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
      z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
      w = z ^ (z >> 31);
    }
  }
  std::uint64_t next() {
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
  }
  // Uniform in [0, 1).
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  // Uniform in [lo, hi).
  double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
  // Zero-mean, unit-variance white noise (uniform in [-sqrt 3, sqrt 3)).
  double white() { return (2.0 * uniform() - 1.0) * 1.7320508075688772; }

 private:
  static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::array<std::uint64_t, 4> s_{};
};

// ---------------------------------------------------------------------------------------------
// Filters: second-order sections from analogue prototypes by the bilinear transform.

struct Biquad {
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

  // H(s) = (n0 s^2 + n1 s + n2) / (d0 s^2 + d1 s + d2), sampled at interval dt.
  static Biquad bilinear(double n0, double n1, double n2, double d0, double d1, double d2,
                         double dt) {
    const double k = 2.0 / dt;
    const double kk = k * k;
    const double den = d0 * kk + d1 * k + d2;
    Biquad q;
    q.b0 = (n0 * kk + n1 * k + n2) / den;
    q.b1 = (2.0 * n2 - 2.0 * n0 * kk) / den;
    q.b2 = (n0 * kk - n1 * k + n2) / den;
    q.a1 = (2.0 * d2 - 2.0 * d0 * kk) / den;
    q.a2 = (d0 * kk - d1 * k + d2) / den;
    return q;
  }
  double step(double x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

constexpr double two_pi = 6.283185307179586;

// Kanai-Tajimi ground filter: the acceleration of a soil layer of natural frequency fg (Hz) and
// damping zg excited by white noise at its base.
Biquad kanai_tajimi(double fg, double zg, double dt) {
  const double w = two_pi * fg;
  return Biquad::bilinear(0.0, 2.0 * zg * w, w * w, 1.0, 2.0 * zg * w, w * w, dt);
}

// Clough-Penzien high-pass: removes the very low frequencies that white noise would otherwise
// put into the integrated velocity and displacement.
Biquad clough_penzien(double ff, double zf, double dt) {
  const double w = two_pi * ff;
  return Biquad::bilinear(1.0, 0.0, 0.0, 1.0, 2.0 * zf * w, w * w, dt);
}

// ---------------------------------------------------------------------------------------------
// The record

// Strong-motion intensity envelope over a record of length T seconds.
struct Envelope {
  double t0, t1, t2, decay;  // onset, end of rise, end of strong phase, decay rate (1/s)

  // Shares of the record length, capped at the durations of a moderate earthquake so that a
  // long record gets a long quiet coda rather than minutes of strong shaking.
  static Envelope make(double T, Rng& rng) {
    Envelope e;
    e.t0 = std::min(T * rng.uniform(0.04, 0.08), rng.uniform(3.0, 6.0));
    e.t1 = e.t0 + std::min(T * rng.uniform(0.06, 0.12), rng.uniform(2.0, 5.0));
    e.t2 = e.t1 + std::min(T * rng.uniform(0.15, 0.25), rng.uniform(10.0, 25.0));
    // Down to about 2 % of the strong phase at the end of the record, or sooner.
    const double tail = std::max(T - e.t2, 1e-9);
    e.decay = std::max(std::log(50.0) / tail, std::log(50.0) / rng.uniform(30.0, 60.0));
    return e;
  }
  double at(double t) const {
    if (t < t0) return 0.0;
    if (t < t1) {
      const double r = (t - t0) / (t1 - t0);
      return r * r;
    }
    if (t <= t2) return 1.0;
    return std::exp(-decay * (t - t2));
  }
};

void remove_mean(std::vector<double>& x) {
  if (x.empty()) return;
  double sum = 0.0;
  for (double v : x) sum += v;
  const double mean = sum / static_cast<double>(x.size());
  for (double& v : x) v -= mean;
}

void scale_to_peak(std::vector<double>& x, double peak) {
  double m = 0.0;
  for (double v : x) m = std::max(m, std::fabs(v));
  if (m <= 0.0) return;
  const double g = peak / m;
  for (double& v : x) v *= g;
}

// One component of the main station: enveloped, filtered noise with the given peak (gal).
std::vector<double> component(std::int64_t n, double dt, const Envelope& env, double fg, double zg,
                              double peak, Rng& rng) {
  std::vector<double> x(static_cast<std::size_t>(n));
  Biquad ground = kanai_tajimi(fg, zg, dt);
  Biquad highpass = clough_penzien(0.15, 0.7, dt);
  for (std::int64_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) * dt;
    x[static_cast<std::size_t>(i)] = env.at(t) * highpass.step(ground.step(rng.white()));
  }
  remove_mean(x);
  scale_to_peak(x, peak);
  // Sensor and ambient noise of a few hundredths of a gal, also in the pre-event part.
  for (double& v : x) v += 0.02 * rng.white();
  remove_mean(x);
  return x;
}

// ---------------------------------------------------------------------------------------------
// Text output

// Appends v with `decimals` digits after the point, from the integer nearest to v * 10^decimals.
// A value that rounds to zero is written without a sign.
char* put_fixed(char* p, double v, int decimals, double scale) {
  long long q = std::llround(v * scale);
  if (q < 0) {
    *p++ = '-';
    q = -q;
  }
  char digits[24];
  int nd = 0;
  do {
    digits[nd++] = static_cast<char>('0' + q % 10);
    q /= 10;
  } while (q > 0 || nd <= decimals);
  for (int k = nd - 1; k >= 0; --k) {
    *p++ = digits[k];
    if (k == decimals && decimals > 0) *p++ = '.';
  }
  return p;
}

// Smallest number of decimals (3 to 9) that shows dt exactly, so that the time column steps by dt.
int time_decimals(double dt) {
  double scale = 1000.0;
  for (int d = 3; d < 9; ++d, scale *= 10.0) {
    const double q = dt * scale;
    if (std::fabs(q - std::nearbyint(q)) < 1e-6) return d;
  }
  return 9;
}

class Writer {
 public:
  explicit Writer(std::FILE* f) : f_(f), buf_(1 << 20) {}
  // Room for at least `need` more bytes.
  char* reserve(std::size_t need) {
    if (used_ + need > buf_.size()) flush();
    if (need > buf_.size()) buf_.resize(need);
    return buf_.data() + used_;
  }
  void commit(char* end) { used_ = static_cast<std::size_t>(end - buf_.data()); }
  void put(std::string_view s) {
    char* p = reserve(s.size());
    std::memcpy(p, s.data(), s.size());
    commit(p + s.size());
  }
  void flush() {
    if (used_ > 0 && std::fwrite(buf_.data(), 1, used_, f_) != used_) ok_ = false;
    used_ = 0;
  }
  bool ok() const { return ok_; }

 private:
  std::FILE* f_;
  std::vector<char> buf_;
  std::size_t used_ = 0;
  bool ok_ = true;
};

constexpr int n_neighbours = 8;
constexpr const char* comp_name[3] = {"NS", "EW", "UD"};

std::string join(const std::vector<std::string>& items, char sep) {
  std::string s;
  for (std::size_t k = 0; k < items.size(); ++k) {
    if (k > 0) s += sep;
    s += items[k];
  }
  return s;
}

// Column titles and units, in row order: time, ST1..ST4 (12), ST0 NS, EW, TRG, UD (values 13 to
// 16), ST5..ST8 (12), nine temperatures, two voltages, GPS lock, clock offset, satellites.
void header_lines(char sep, std::string& titles, std::string& units) {
  std::vector<std::string> t{"TIME"};
  std::vector<std::string> u{"s"};
  auto station = [&](int s) {
    for (const char* c : comp_name) {
      t.push_back("ST" + std::to_string(s) + "_" + c);
      u.push_back("gal");
    }
  };
  for (int s = 1; s <= 4; ++s) station(s);
  t.insert(t.end(), {"ST0_NS", "ST0_EW", "ST0_TRG", "ST0_UD"});
  u.insert(u.end(), {"gal", "gal", "flag", "gal"});
  for (int s = 5; s <= 8; ++s) station(s);
  for (int s = 0; s <= 8; ++s) {
    t.push_back("ST" + std::to_string(s) + "_TEMP");
    u.push_back("degC");
  }
  t.insert(t.end(), {"VBAT", "VCHG", "GPS_LOCK", "CLK_OFS", "GPS_SATS"});
  u.insert(u.end(), {"V", "V", "flag", "us", "count"});
  titles = join(t, sep);
  units = join(u, sep);
}

// The housekeeping values (values 29 to 42), the same on every row of a record.
std::string housekeeping(char sep, Rng& rng) {
  std::string s;
  char tmp[32];
  for (int k = 0; k < 9; ++k) {
    s += sep;
    s.append(tmp, put_fixed(tmp, rng.uniform(14.0, 31.0), 2, 100.0));
  }
  s += sep;
  s.append(tmp, put_fixed(tmp, rng.uniform(12.3, 13.1), 2, 100.0));
  s += sep;
  s.append(tmp, put_fixed(tmp, rng.uniform(13.6, 14.2), 2, 100.0));
  s += sep;
  s += '1';
  s += sep;
  s += '0';
  s += sep;
  s += std::to_string(6 + static_cast<int>(rng.uniform() * 7.0));
  return s;
}

struct Neighbour {
  double gain[3];
  std::int64_t lag;  // samples
};

bool write_record(const Options& o, std::FILE* f) {
  Rng rng(o.seed);
  const std::int64_t n = o.rows;
  const double T = static_cast<double>(std::max<std::int64_t>(n, 2)) * o.dt;
  const Envelope env = Envelope::make(T, rng);

  // Main station: horizontal peaks of 150 to 450 gal, UD about a third to a half of NS.
  const double pga_ns = rng.uniform(150.0, 450.0);
  const double pga_ew = pga_ns * rng.uniform(0.7, 1.0);
  const double pga_ud = pga_ns * rng.uniform(0.3, 0.55);
  const double fg_h = rng.uniform(1.5, 4.0);
  const double fg_v = rng.uniform(5.0, 9.0);
  std::array<std::vector<double>, 3> main{
      component(n, o.dt, env, fg_h, 0.6, pga_ns, rng),
      component(n, o.dt, env, fg_h * rng.uniform(0.85, 1.15), 0.6, pga_ew, rng),
      component(n, o.dt, env, fg_v, 0.6, pga_ud, rng),
  };

  std::array<Neighbour, n_neighbours> nb{};
  for (auto& s : nb) {
    for (double& g : s.gain) g = rng.uniform(0.05, 0.5) * (rng.uniform() < 0.5 ? -1.0 : 1.0);
    s.lag = static_cast<std::int64_t>(rng.uniform(0.1, 1.5) / o.dt);
  }

  // The trigger flag turns on when the envelope first reaches 5 % of the strong phase.
  const double t_trigger = env.t0 + (env.t1 - env.t0) * std::sqrt(0.05);

  std::string titles, units;
  header_lines(o.sep, titles, units);
  const std::string hk = housekeeping(o.sep, rng);

  Writer w(f);
  w.put(titles);
  w.put("\n");
  w.put(units);
  w.put("\n");

  const int td = time_decimals(o.dt);
  const double tscale = std::pow(10.0, td);
  const char sep = o.sep;
  constexpr int ad = 4;  // decimals of the accelerations
  constexpr double ascale = 1e4;

  for (std::int64_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) * o.dt;
    char* p = w.reserve(64 + 43 * 24 + hk.size());
    p = put_fixed(p, t, td, tscale);
    auto neighbour = [&](const Neighbour& s) {
      for (int c = 0; c < 3; ++c) {
        const std::int64_t j = i - s.lag;
        const double v = j >= 0 ? s.gain[c] * main[c][static_cast<std::size_t>(j)] : 0.0;
        *p++ = sep;
        p = put_fixed(p, v + 0.01 * rng.white(), ad, ascale);
      }
    };
    for (int s = 0; s < 4; ++s) neighbour(nb[static_cast<std::size_t>(s)]);
    const auto idx = static_cast<std::size_t>(i);
    *p++ = sep;
    p = put_fixed(p, main[0][idx], ad, ascale);
    *p++ = sep;
    p = put_fixed(p, main[1][idx], ad, ascale);
    *p++ = sep;
    *p++ = t >= t_trigger ? '1' : '0';
    *p++ = sep;
    p = put_fixed(p, main[2][idx], ad, ascale);
    for (int s = 4; s < n_neighbours; ++s) neighbour(nb[static_cast<std::size_t>(s)]);
    std::memcpy(p, hk.data(), hk.size());
    p += hk.size();
    *p++ = '\n';
    w.commit(p);
  }
  w.flush();
  return w.ok();
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse_options(argc, argv);
  const bool to_stdout = o.output == "-";
  std::FILE* f = to_stdout ? stdout : std::fopen(o.output.c_str(), "wb");
  if (f == nullptr) {
    std::fprintf(stderr, "smfreq-mkrecord: cannot open %s: %s\n", o.output.c_str(),
                 std::strerror(errno));
    return 1;
  }
  bool ok = write_record(o, f);
  if (std::fflush(f) != 0) ok = false;
  if (!to_stdout && std::fclose(f) != 0) ok = false;
  if (!ok) {
    std::fprintf(stderr, "smfreq-mkrecord: write to %s failed\n", o.output.c_str());
    return 1;
  }
  return 0;
}
