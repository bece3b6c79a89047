// The run state: the working arrays and the scalars that the steps of a run share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace smfreq {

// Capacity of every working array, in samples.
inline constexpr std::int32_t mom = 132000;

// Longest transform: records with more samples stop the run.
inline constexpr std::int32_t max_nf = 131072;

// 2*pi as the ten-digit decimal the program uses everywhere (for the grid, the filter
// corners and the frequency column): not the full-precision value.
inline constexpr double twopi = 6.283185307;

// A double complex value, real part first.
struct cplx {
  double re;
  double im;
};

// A fixed array of `mom` elements indexed 1..mom, zero at start.
// The storage comes from calloc, so its pages are mapped lazily: a short record
// touches only the few pages it uses.
template <class T>
class WorkArray {
 public:
  WorkArray() : p_(static_cast<T*>(std::calloc(static_cast<std::size_t>(mom) + 1, sizeof(T)))) {
    if (p_ == nullptr) throw std::bad_alloc();
  }
  ~WorkArray() { std::free(p_); }
  WorkArray(const WorkArray&) = delete;
  WorkArray& operator=(const WorkArray&) = delete;

  T& operator[](std::int32_t i) {
#ifdef SMFREQ_CHECKED
    if (i < 1 || i > mom) std::abort();
#endif
    return p_[i];
  }
  const T& operator[](std::int32_t i) const {
#ifdef SMFREQ_CHECKED
    if (i < 1 || i > mom) std::abort();
#endif
    return p_[i];
  }
  // Element 1 of the array; data()[k] is element k + 1.
  T* data() { return p_ + 1; }
  const T* data() const { return p_ + 1; }

 private:
  T* p_;
};

// A 90-character text variable (file names and header values).
struct Text90 {
  char c[90];
};

struct RunState {
  // Working arrays.
  WorkArray<double> time;
  WorkArray<double> xr1, xr2, xr3;
  WorkArray<double> x1, x2, x3;
  WorkArray<cplx> fx1, fx2, fx3;

  // Text variables.
  Text90 infile{};
  Text90 head1{}, head2{}, head3{}, head4{};

  // Record.
  std::int32_t nt = 0;
  double dt = 0.0;
  std::int32_t myes = 0, my1 = 0, my2 = 0, my3 = 0;

  // Spectral grid.
  std::int32_t nf = 0, if1 = 0, nom = 0;
  double dur = 0.0, dom = 0.0, eom = 0.0;

  // Band-pass filter.
  std::int32_t nbd = 0;
  double fl1 = 0.0, fl2 = 0.0, fh1 = 0.0, fh2 = 0.0;
  double oml1 = 0.0, oml2 = 0.0, omh1 = 0.0, omh2 = 0.0;

  // Integration and differentiation.
  std::int32_t nit = 0;

  // Time window.
  std::int32_t icut = 0;
  double stime = 0.0;
  std::int32_t nstime = 0, ndur = 0;

  // Waveform file.
  std::int32_t iskip = 0;
};

}  // namespace smfreq
