// SPDX-License-Identifier: MIT
#include "figure/figure.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <numbers>
#include <span>
#include <type_traits>
#include <utility>

#include "figure/fast.h"
#include "runtime/conversions.h"

namespace rms {
namespace {

// The page, in pixels: two columns of three panels under a heading.
constexpr double kWidth = 1000;
constexpr double kHeading = 64;
constexpr double kPanelWidth = 485;
constexpr double kPanelHeight = 272;
constexpr double kGap = 10;
// The plot inside a panel: room for the title and two lines of values above it, tick
// labels at the left and below.
constexpr double kPlotTop = 72;
constexpr double kPlotBottom = 36;
constexpr double kPlotLeft = 70;
constexpr double kPlotRight = 14;
constexpr double kTickLength = 4;
constexpr double kLabelHeight = 12;  // a value's label, 10 px text, over its line
constexpr int kMostTicks = 6;

// A decimal comma or a point: the one character of a number's text that the caller chooses.
char separatorOf(const FigureInput& input) {
  return input.decimalSeparator == ',' ? ',' : '.';
}

bool usesDutyCycle(ResultSlot slot) {
  return slot != ResultSlot::FullWaveSine;
}

// Why a shape has no waveform, or nothing when it has one.
std::optional<std::string_view> undrawable(ResultSlot slot, const WaveformInputs& in) {
  if (!(in.T > 0.0f)) {
    return in.T == 0.0f ? "the period is zero" : "the period is negative";
  }
  if (usesDutyCycle(slot)) {
    if (std::isnan(in.D)) {
      return "D is undefined";
    }
    if (in.D < 0.0f || in.D > 1.0f) {
      return "D is outside 0 to 1";
    }
  }
  return std::nullopt;
}

// Whether no character of `text` needs escaping in markup, one look-up a character.
constexpr std::array<bool, 256> kPlain = [] {
  std::array<bool, 256> plain{};
  for (size_t c = 0x20; c < plain.size(); ++c) {
    plain[c] = c != '&' && c != '<' && c != '>' && c != '"';
  }
  return plain;
}();

bool isPlain(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return kPlain[static_cast<unsigned char>(c)]; });
}

bool inUnitRange(double D) {
  return D >= 0.0 && D <= 1.0;
}

std::optional<double> finite(double value) {
  if (std::isfinite(value)) {
    return value;
  }
  return std::nullopt;
}

// Two periods of one slot's waveform, on the end of `pieces`: at most four.
void piecesOf(ResultSlot slot, const WaveformInputs& in, FigureVector<Piece>& pieces) {
  const double T = in.T;
  const double on = static_cast<double>(in.D) * T;
  const double Ip = in.Ip;
  const double Ia = in.Ia;
  const double Ib = in.Ib;
  for (int k = 0; k < 2; ++k) {
    const double p = k * T;
    const double end = k == 0 ? T : 2 * T;
    auto onOff = [&](Piece on_piece, double off) {
      pieces.push_back(on_piece);
      pieces.push_back({false, p + on, end, off, off});
    };
    switch (slot) {
      case ResultSlot::FullWaveSine:
        pieces.push_back({true, p, end, Ip, 0});
        break;
      case ResultSlot::PulsedSine:
        onOff({true, p, p + on, Ip, 0}, 0);
        break;
      case ResultSlot::Rectangular:
        onOff({false, p, p + on, Ip, Ip}, 0);
        break;
      case ResultSlot::Trapezoid:
        onOff({false, p, p + on, Ia, Ib}, 0);
        break;
      case ResultSlot::Triangle:
        onOff({false, p, p + on, 0, Ip}, 0);
        break;
      case ResultSlot::General: {
        const double m = *AverageOf(ResultSlot::Trapezoid, in);
        onOff({false, p, p + on, Ia - m, Ib - m}, -m);
        break;
      }
    }
  }
}

// The largest |i| of the pieces, with where it is: the first such point.
void findPeak(std::span<const Piece> pieces, ShapeValues& values) {
  for (const Piece& piece : pieces) {
    if (!(piece.t1 > piece.t0)) {
      continue;  // a piece of no width is never reached
    }
    const Point ends[] = {{piece.arch ? (piece.t0 + piece.t1) / 2 : piece.t0, piece.i0},
                          {piece.t1, piece.arch ? piece.i0 : piece.i1}};
    for (const Point& end : ends) {
      if (std::fabs(end.y) > values.peak) {
        values.peak = std::fabs(end.y);
        values.peakTime = end.x;
        values.peakCurrent = end.y;
      }
    }
  }
}

// 10^n for n in 0..15: exact doubles, as std::pow gives them, without its cost per tick.
constexpr std::array<double, 16> kPowersOfTen = [] {
  std::array<double, 16> powers{};
  double power = 1;
  for (double& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}();

// The shortest text of the double nearest km x 10^exponent, for 0 < |km| < 10^15, as
// DoubleText writes it, without its search for the digits: a decimal of at most 15 digits
// reads back from its nearest double, so the digits are those of km. Laid out as to_chars
// does, fixed or scientific, whichever is shorter (fixed on a tie). Null where the fixed
// text would be the double's exact integer, which need not end in the zeros of km x 10^n.
char* writeTickText(char* out, long long km, int exponent, char separator) {
  separator = separator == ',' ? ',' : '.';
  if (km < 0) {
    *out++ = '-';
    km = -km;
  }
  auto k = static_cast<unsigned long long>(km);
  while (k >= 10 && k % 10 == 0) {
    k /= 10;
    ++exponent;
  }
  char buffer[20];
  const char* digits = writeDigitsBefore(buffer + sizeof buffer, k);
  const auto n = static_cast<int>(buffer + sizeof buffer - digits);
  const int q = exponent;  // the value is digits x 10^q
  const int scientificExponent = q + n - 1;
  const int magnitude = std::abs(scientificExponent);
  const int scientificLength = n + (n > 1 ? 1 : 0) + 2 + (magnitude >= 100 ? 3 : 2);
  const int fixedLength = q >= 0 ? n + q : n > -q ? n + 1 : 2 - q;
  if (fixedLength <= scientificLength) {
    if (q >= 0 && n + q > 15) {
      return nullptr;  // printed as its exact value, which may not be the decimal
    }
    if (q >= 0) {
      out = std::copy(digits, digits + n, out);
      out = std::fill_n(out, q, '0');
    } else if (n > -q) {
      out = std::copy(digits, digits + n + q, out);
      *out++ = separator;
      out = std::copy(digits + n + q, digits + n, out);
    } else {
      *out++ = '0';
      *out++ = separator;
      out = std::fill_n(out, -q - n, '0');
      out = std::copy(digits, digits + n, out);
    }
    return out;
  }
  *out++ = digits[0];
  if (n > 1) {
    *out++ = separator;
    out = std::copy(digits + 1, digits + n, out);
  }
  *out++ = 'e';
  *out++ = scientificExponent < 0 ? '-' : '+';
  if (magnitude >= 100) {
    *out++ = static_cast<char>('0' + magnitude / 100);
  }
  *out++ = static_cast<char>('0' + magnitude / 10 % 10);
  *out++ = static_cast<char>('0' + magnitude % 10);
  return out;
}

// A tick's text: k steps of m x 10^n, written from the integer k*m so that no rounding of
// k * step shows (0.6000000000000001).
constexpr long long kMostDigits = 1'000'000'000'000'000;

std::string_view tickText(long long km, int exponent, char separator, TextStore& store) {
  if (km == 0) {
    return "0";
  }
  if (exponent >= -15 && exponent <= 15 && km > -kMostDigits && km < kMostDigits) {
    char text[40];
    if (const char* end = writeTickText(text, km, exponent, separator)) {
      return store.keep({text, static_cast<size_t>(end - text)});
    }
  }
  if (exponent >= 0 && exponent <= 15) {
    return store.keep(DoubleText(
        static_cast<double>(km) * kPowersOfTen[static_cast<size_t>(exponent)], separator));
  }
  if (exponent < 0 && exponent >= -15) {
    // Both exact, so the quotient is the double nearest the decimal.
    return store.keep(DoubleText(
        static_cast<double>(km) / kPowersOfTen[static_cast<size_t>(-exponent)], separator));
  }
  // Scientific, as the results are written: 15e-39 is 1.5e-38.
  std::string digits = std::to_string(km < 0 ? -km : km);
  while (digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
    ++exponent;
  }
  exponent += static_cast<int>(digits.size()) - 1;
  store.append(km < 0 ? "-" : "");
  store.append(std::string_view(digits).substr(0, 1));
  if (digits.size() > 1) {
    store.append(std::string_view(&separator, 1));
    store.append(std::string_view(digits).substr(1));
  }
  store.append(exponent < 0 ? "e-" : "e+");
  store.append(std::to_string(std::abs(exponent)));
  return store.finish();
}

struct Ticks {
  double step;
  long long mantissa;  // step = mantissa x 10^exponent
  int exponent;
};

// 10^-n for n in 0..15, each the double nearest it, as std::pow gives it.
constexpr std::array<double, 16> kTenths = [] {
  std::array<double, 16> tenths{};
  for (size_t n = 0; n < tenths.size(); ++n) {
    tenths[n] = 1 / kPowersOfTen[n];
  }
  return tenths;
}();

// The round step (1, 2 or 5 times a power of ten) that cuts `span` (> 0) into at most
// `most` parts. Within the tables' reach the power is found by comparing, not by log10 and
// pow: a comparison is exact and the same in every library, and the figure asks for a
// dozen steps.
Ticks roundStep(double span, int most) {
  const double raw = span / most;
  int exponent = 0;
  double magnitude = 0;
  if (raw >= 1 && raw < 10 * kPowersOfTen[15]) {
    exponent = 15;
    while (raw < kPowersOfTen[static_cast<size_t>(exponent)]) {
      --exponent;
    }
    magnitude = kPowersOfTen[static_cast<size_t>(exponent)];
  } else if (raw < 1 && raw >= kTenths[15]) {
    exponent = -1;
    while (raw < kTenths[static_cast<size_t>(-exponent)]) {
      --exponent;
    }
    magnitude = kTenths[static_cast<size_t>(-exponent)];
  } else {
    magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    if (!(magnitude > 0) || !std::isfinite(magnitude)) {
      magnitude = raw;  // beyond the powers a double holds: the span's own size
    }
    exponent = static_cast<int>(std::floor(std::log10(magnitude) + 1e-9));
  }
  for (const long long m : {1, 2, 5}) {
    // A little slack so that 0.2 / 0.1 counts as 2.
    if (static_cast<double>(m) * magnitude * (1 + 1e-9) >= raw) {
      return {static_cast<double>(m) * magnitude, m, exponent};
    }
  }
  return {10 * magnitude, 1, exponent + 1};
}

// The tick texts written so far in a figure: every drawn panel has the same time axis,
// and most have the same current axis.
class TickTexts {
 public:
  TickTexts(char separator, TextStore& store, FigureArena* arena)
      : separator_(separator), store_(store), texts_(FigureAllocator<std::string_view>(arena)) {
    texts_.reserve(64);
  }

  // The texts of ticks k x step for k from `first` to `last`, once for each axis: every
  // drawn panel has the same time axis, and most the same current axis. Valid until the
  // next call.
  std::span<const std::string_view> run(const Ticks& ticks, long long first, long long last) {
    for (const Run& r : std::span(runs_).first(runCount_)) {
      if (r.mantissa == ticks.mantissa && r.exponent == ticks.exponent && r.first == first &&
          r.last == last) {
        return std::span(texts_).subspan(r.start, static_cast<size_t>(last - first + 1));
      }
    }
    const size_t start = texts_.size();
    for (long long k = first; k <= last; ++k) {
      texts_.push_back(tickText(k * ticks.mantissa, ticks.exponent, separator_, store_));
    }
    if (runCount_ < runs_.size()) {
      runs_[runCount_++] = {ticks.mantissa, ticks.exponent, first, last, start};
    }
    return std::span(texts_).subspan(start);
  }

  // roundStep, once for each span: every drawn panel's time axis spans the same two periods.
  Ticks ticks(double span) {
    for (const Scale& scale : std::span(scales_).first(scaleCount_)) {
      if (scale.span == span) {
        return scale.ticks;
      }
    }
    const Ticks ticks = roundStep(span, kMostTicks);
    if (scaleCount_ < scales_.size()) {
      scales_[scaleCount_++] = {span, ticks};
    }
    return ticks;
  }

 private:
  struct Scale {
    double span;
    Ticks ticks;
  };
  struct Run {
    long long mantissa;
    int exponent;
    long long first, last;
    size_t start;  // in texts_
  };
  char separator_;
  TextStore& store_;
  // At most twelve axes a figure: a few to remember are enough.
  std::array<Scale, 8> scales_{};
  size_t scaleCount_ = 0;
  std::array<Run, 8> runs_{};
  size_t runCount_ = 0;
  FigureVector<std::string_view> texts_;
};

// DoubleText of a value that is a decimal of at most nine digits, six of them after the
// point (1.5, 0.75, 3.5), as many averages and peaks are, without to_chars' search for the
// digits. The decimal m x 10^-6 reads back as the value when m / 10^6, both exact, rounds
// to it: the division rounds to nearest, as reading the text does. Decimals of nine digits
// lie too far apart for two to read back as one double, so its digits, less their last
// zeros, are the shortest.
NumberText valueText(double value, char separator) {
  constexpr double kScale = 1e6;
  const double scaled = std::fabs(value) * kScale;
  if (scaled >= 1 && scaled < 1e9) {
    // Below 2^31, so the conversion, which truncates, rounds half up.
    const auto m = static_cast<int32_t>(scaled + 0.5);
    if (static_cast<double>(m) / kScale == std::fabs(value)) {
      const long long km = value < 0 ? -m : m;
      return NumberText(
          [&](char* begin, char*) { return writeTickText(begin, km, -6, separator); });
    }
  }
  return DoubleText(value, separator);
}

// The texts of the values the panels show, each written once: the peak is Ip in most
// panels, and the last two shapes have the same AC part. A value is looked for among the
// earlier panels' values of its own kind, where the repeats are, by its bits.
enum class ValueKind { Average, AcPart, CrestFactor, Peak };

class ValueTexts {
 public:
  ValueTexts(char separator, TextStore& store) : separator_(separator), store_(store) {}

  std::string_view operator()(ValueKind kind, double value) {
    Known& known = known_[static_cast<size_t>(kind)];
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (size_t i = 0; i < known.count; ++i) {
      if (known.bits[i] == bits) {
        return known.texts[i];
      }
    }
    const std::string_view text = store_.keep(valueText(value, separator_));
    if (known.count < known.bits.size()) {
      known.bits[known.count] = bits;
      known.texts[known.count++] = text;
    }
    return text;
  }

 private:
  struct Known {
    std::array<uint64_t, kResultSlotFacts.size()> bits{};
    std::array<std::string_view, kResultSlotFacts.size()> texts{};
    size_t count = 0;
  };
  char separator_;
  TextStore& store_;
  std::array<Known, 4> known_{};
};

class PanelMaker {
 public:
  PanelMaker(Panel& panel, Figure& figure, TickTexts& ticks)
      : p_(panel), f_(figure), ticks_(ticks) {}

  void text(double x, double y, std::string_view text, TextRole role,
            Anchor anchor = Anchor::Start) {
    f_.panelTexts.push_back({{x, y}, text, role, anchor});
  }
  // The plot's mapping, kept here as well as in the panel: a store into the figure's
  // primitives might be one into the panel, so the panel's copy would be read again
  // after every push.
  double x(double time) const { return m_.plotLeft + time * m_.pxPerTime; }
  double y(double current) const { return m_.zeroY - current * m_.pxPerCurrent; }

  // Scales, axes, ticks and the zero line for currents from lo to hi over two periods.
  RMS_FIGURE_FLATTEN void axes(double T, double lo, double hi) {
    const double plotTop = p_.top + kPlotTop;
    const double plotBottom = p_.top + p_.height - kPlotBottom;
    m_.plotLeft = p_.left + kPlotLeft;
    m_.plotRight = p_.left + p_.width - kPlotRight;
    m_.pxPerTime = (m_.plotRight - m_.plotLeft) / (2 * T);

    if (hi <= lo) {
      hi = lo + (lo == 0 ? 1 : std::fabs(lo));
    }
    const Ticks current = ticks_.ticks(hi - lo);
    const double first = std::floor(lo / current.step);
    const double last = std::ceil(hi / current.step);
    m_.pxPerCurrent = (plotBottom - plotTop) / ((last - first) * current.step);
    m_.zeroY = plotTop + last * current.step * m_.pxPerCurrent;
    p_.plotLeft = m_.plotLeft;
    p_.plotRight = m_.plotRight;
    p_.zeroY = m_.zeroY;
    p_.pxPerTime = m_.pxPerTime;
    p_.pxPerCurrent = m_.pxPerCurrent;

    f_.lines.push_back({{m_.plotLeft, plotTop}, {m_.plotLeft, plotBottom}, Stroke::Axis});
    f_.lines.push_back({{m_.plotLeft, plotBottom}, {m_.plotRight, plotBottom}, Stroke::Axis});
    const auto currentTexts =
        ticks_.run(current, static_cast<long long>(first), static_cast<long long>(last));
    const double pxPerTick = (plotBottom - plotTop) / (last - first);
    for (double k = first; k <= last; ++k) {
      const double ty = plotTop + (last - k) * pxPerTick;
      f_.lines.push_back({{m_.plotLeft - kTickLength, ty}, {m_.plotLeft, ty}, Stroke::Axis});
      text(m_.plotLeft - kTickLength - 2, ty + 4, currentTexts[static_cast<size_t>(k - first)],
           TextRole::Tick, Anchor::End);
    }
    const Ticks time = ticks_.ticks(2 * T);
    const auto count = static_cast<long long>(std::floor(2 * T / time.step + 1e-9));
    const auto timeTexts = ticks_.run(time, 0, count);
    for (long long k = 0; k <= count; ++k) {
      const double tx = x(static_cast<double>(k) * time.step);
      f_.lines.push_back({{tx, plotBottom}, {tx, plotBottom + kTickLength}, Stroke::Axis});
      text(tx, plotBottom + kTickLength + 11, timeTexts[static_cast<size_t>(k)], TextRole::Tick,
           Anchor::Middle);
    }
    text((m_.plotLeft + m_.plotRight) / 2, plotBottom + 32, "time, in the units of t and T",
         TextRole::Note, Anchor::Middle);
    f_.lines.push_back({{m_.plotLeft, m_.zeroY}, {m_.plotRight, m_.zeroY}, Stroke::Zero});
  }

  // A sine arch as four cubic steps, each matching the sine's value and slope at both ends
  // (Hermite), within a thousandth of the peak. The ends of the steps are at multiples of
  // a quarter of pi, where the sine and cosine are known.
  void arch(const Piece& piece) {
    constexpr int kSteps = 4;
    constexpr double kHalfRoot2 = std::numbers::sqrt2 / 2;
    constexpr std::array<double, kSteps + 1> kSine{0, kHalfRoot2, 1, kHalfRoot2, 0};
    constexpr std::array<double, kSteps + 1> kCosine{1, kHalfRoot2, 0, -kHalfRoot2, -1};
    const double h = (piece.t1 - piece.t0) / kSteps;
    // The slope's factor, times the third of a step of the Hermite control points.
    const double slope = piece.i0 * std::numbers::pi / kSteps / 3;
    for (size_t j = 0; j < kSteps; ++j) {
      const double a = piece.t0 + static_cast<double>(j) * h;
      const double b = j + 1 == kSteps ? piece.t1 : piece.t0 + static_cast<double>(j + 1) * h;
      const double va = piece.i0 * kSine[j];
      const double vb = piece.i0 * kSine[j + 1];
      f_.steps.push_back({true,
                          {x(a + h / 3), y(va + slope * kCosine[j])},
                          {x(b - h / 3), y(vb - slope * kCosine[j + 1])},
                          {x(b), y(vb)}});
    }
  }

  // Pieces of no width (the pulse at D = 0, the pause at D = 1) are never reached and
  // are not drawn, not even as a spike. The path's steps are the Figure's from `firstStep`
  // on, viewed once they have all been written.
  void waveform() {
    Path path;
    const size_t firstStep = f_.steps.size();
    const auto pathEnd = [&] {
      return f_.steps.size() == firstStep ? path.start : f_.steps.back().to;
    };
    bool started = false;
    for (const Piece& piece : p_.pieces) {
      if (!(piece.t1 > piece.t0)) {
        continue;
      }
      const Point start{x(piece.t0), y(piece.arch ? 0 : piece.i0)};
      if (!started) {
        path.start = start;
        started = true;
      } else if (start.y != pathEnd().y) {
        f_.steps.push_back({false, {}, {}, start});  // the jump at an edge
      }
      if (piece.arch) {
        arch(piece);
      } else {
        f_.steps.push_back({false, {}, {}, {x(piece.t1), y(piece.i1)}});
      }
    }
    f_.paths.push_back(path);
  }

  // A level across the plot, labelled at its right end (the RMS) or its left (the average),
  // just above the line at labelY.
  void level(double current, Stroke stroke, std::string_view label, Anchor anchor, double labelY) {
    const double ly = y(current);
    f_.lines.push_back({{m_.plotLeft, ly}, {m_.plotRight, ly}, stroke});
    const double lx = anchor == Anchor::End ? m_.plotRight - 2 : m_.plotLeft + 4;
    text(lx, labelY - 3, label, TextRole::Value, anchor);
  }

 private:
  struct Mapping {
    double plotLeft = 0, plotRight = 0, zeroY = 0, pxPerTime = 0, pxPerCurrent = 0;
  };
  Panel& p_;
  Mapping m_;
  Figure& f_;
  TickTexts& ticks_;
};

}  // namespace

double TickStep(double span, int most) {
  return roundStep(span, most).step;
}

std::optional<double> AverageOf(ResultSlot slot, const WaveformInputs& in) {
  const double D = in.D;
  const double Ip = in.Ip;
  const double Ia = in.Ia;
  const double Ib = in.Ib;
  if (usesDutyCycle(slot) && !inUnitRange(D)) {
    return std::nullopt;
  }
  switch (slot) {
    case ResultSlot::FullWaveSine:
      return finite(2 * Ip / std::numbers::pi);
    case ResultSlot::PulsedSine:
      return finite(2 * D * Ip / std::numbers::pi);
    case ResultSlot::Rectangular:
      return finite(D * Ip);
    case ResultSlot::Trapezoid:
      return finite(D * (Ia + Ib) / 2);
    case ResultSlot::Triangle:
      return finite(D * Ip / 2);
    case ResultSlot::General:
      return 0.0;
  }
  return std::nullopt;  // not reached
}

std::optional<double> AcPartOf(ResultSlot slot, const WaveformInputs& in) {
  const double D = in.D;
  const double Ip = std::fabs(static_cast<double>(in.Ip));
  const double Ia = in.Ia;
  const double Ib = in.Ib;
  if (usesDutyCycle(slot) && !inUnitRange(D)) {
    return std::nullopt;
  }
  constexpr double kPi2 = std::numbers::pi * std::numbers::pi;
  // Each radicand written as a sum or product of terms that are not negative for D in
  // [0, 1], so that no rounding takes it below zero.
  switch (slot) {
    case ResultSlot::FullWaveSine:
      return finite(Ip * std::sqrt(0.5 - 4 / kPi2));
    case ResultSlot::PulsedSine:
      return finite(Ip * std::sqrt(D * (0.5 - 4 * D / kPi2)));
    case ResultSlot::Rectangular:
      return finite(Ip * std::sqrt(D * (1 - D)));
    case ResultSlot::Triangle:
      return finite(Ip * std::sqrt(D * (1.0 / 3 - D / 4)));
    case ResultSlot::Trapezoid:
    case ResultSlot::General: {
      const double sum = Ia + Ib;
      const double difference = Ia - Ib;
      return finite(std::sqrt(D * (1 - D) * (sum * sum) / 4 + D * (difference * difference) / 12));
    }
  }
  return std::nullopt;  // not reached
}

namespace {

// Lays out one panel, and says what it shows in the description being written in the
// figure's store, with a blank before it: its texts of values and notes are the very
// words of that sentence.
RMS_FIGURE_FLATTEN void makePanel(Panel& panel, Figure& figure, const FigureInput& input,
                                  const FigureInput::Result& result, TickTexts& ticks,
                                  ValueTexts& valueText) {
  TextStore& store = figure.store;
  const WaveformInputs& in = input.inputs;
  const ResultSlotFacts& facts = factsOf(panel.slot);
  PanelMaker make(panel, figure, ticks);
  make.text(panel.left + 8, panel.top + 16, facts.title, TextRole::Title);
  store.append(" ");
  store.append(facts.title);
  store.append(": ");
  // The pieces as one text of the sentence.
  const auto part = [&](std::initializer_list<std::string_view> pieces) {
    const size_t from = store.length();
    for (const std::string_view piece : pieces) {
      store.append(piece);
    }
    return store.since(from);
  };

  auto say = [&](std::initializer_list<std::string_view> pieces) {
    const std::string_view said = part(pieces);
    store.append(".");
    make.text(panel.left + 8, panel.top + 34, said, TextRole::Note);
  };
  const Outcome<double> rms = TryComputeResult(panel.slot, in);
  if (result.failure || !rms) {
    const ErrorNumber why = result.failure ? *result.failure : rms.failure();
    say({"not drawn, the result failed: ", wordsOf(why).phrase});
    return;
  }
  if (!std::isfinite(*rms)) {
    say({"not drawn, ", undrawable(panel.slot, in).value_or("D is undefined")});
    return;
  }
  const std::optional<std::string_view> why = undrawable(panel.slot, in);
  if (why) {
    say({"RMS ", result.text, "; not drawn, ", *why});
    return;
  }

  ShapeValues values;
  values.rms = *rms;
  values.average = AverageOf(panel.slot, in).value_or(0);
  values.acPart = AcPartOf(panel.slot, in);
  const size_t firstPiece = figure.pieces.size();
  piecesOf(panel.slot, in, figure.pieces);
  panel.pieces = std::span(figure.pieces).subspan(firstPiece);
  findPeak(std::span(panel.pieces).first(panel.pieces.size() / 2), values);
  if (values.rms != 0) {
    values.crestFactor = finite(values.peak / std::fabs(values.rms));
  }

  // The RMS of a ramp is positive even when the ramp is negative throughout.
  double lo = std::min(0.0, values.rms);
  double hi = std::max(0.0, values.rms);
  for (const Piece& piece : panel.pieces) {
    if (!(piece.t1 > piece.t0)) {
      continue;
    }
    lo = std::min({lo, piece.i0, piece.i1});
    hi = std::max({hi, piece.i0, piece.i1});
  }
  make.axes(in.T, lo, hi);
  make.waveform();

  // The first line of values holds both levels' labels: "RMS r" and "average a".
  constexpr std::string_view kRms = "RMS ";
  constexpr std::string_view kAverage = " (dashed), average ";
  // Each value's text is kept before the lines that hold it are written.
  const std::string_view average = valueText(ValueKind::Average, values.average);
  const std::string_view acPart = values.acPart ? valueText(ValueKind::AcPart, *values.acPart) : "";
  const std::string_view crestFactor =
      values.crestFactor ? valueText(ValueKind::CrestFactor, *values.crestFactor) : "";
  const std::string_view peak = valueText(ValueKind::Peak, values.peak);
  const std::string_view first = part({kRms, result.text, kAverage, average, " (dotted)"});
  const std::string_view rmsLabel = first.substr(0, kRms.size() + result.text.size());
  const std::string_view averageLabel =
      first.substr(rmsLabel.size() + kAverage.size() - std::string_view("average ").size(),
                   std::string_view("average ").size() + average.size());

  // Each label over its own line, at the line's two ends; two levels closer than a label's
  // height both have theirs over the upper line, which would otherwise run through the
  // lower one's.
  const double rmsY = make.y(values.rms);
  const double averageY = make.y(values.average);
  const bool close = std::fabs(rmsY - averageY) < kLabelHeight;
  const double upper = std::min(rmsY, averageY);
  make.level(values.rms, Stroke::Rms, rmsLabel, Anchor::End, close ? upper : rmsY);
  make.level(values.average, Stroke::Average, averageLabel, Anchor::Start,
             close ? upper : averageY);
  figure.marks.push_back({{make.x(values.peakTime), make.y(values.peakCurrent)}, 4});

  // In the sentence the peak comes before the AC part; on the panel, after.
  store.append(", ");
  const std::string_view third = part({"peak ", peak, " (circle)"});
  store.append(", ");
  const std::string_view second = part(
      {values.acPart ? std::string_view("AC part ") : "no AC part", acPart,
       values.crestFactor ? std::string_view(", crest factor ") : ", no crest factor (RMS is zero)",
       crestFactor});
  store.append(".");
  make.text(panel.left + 8, panel.top + 31, first, TextRole::Value);
  make.text(panel.left + 8, panel.top + 44, second, TextRole::Value);
  make.text(panel.left + 8, panel.top + 57, third, TextRole::Value);
  panel.values = values;
}

// SingleText of a single that is a decimal of at most six digits, as a typed input mostly
// is, without to_chars' search for the digits. Such a decimal is the only one of six digits
// or fewer that reads back as the single (FLT_DIG), so its digits are the shortest. The
// decimal m x 10^-k reads back as v when it lies strictly between the midpoints around v:
// for k up to 10 the midpoints (25 bits) times 10^k (2^k and at most 24 bits of 5^k) are
// exact in double, as is v x 10^k. Any other single, and a tie, go the long way.
NumberText singleText(float value, char separator) {
  const float size = std::fabs(value);
  if (std::isnormal(size) && size < 1e6f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &size, sizeof bits);
    float below = 0;
    float above = 0;
    const uint32_t belowBits = bits - 1;
    const uint32_t aboveBits = bits + 1;
    std::memcpy(&below, &belowBits, sizeof below);
    std::memcpy(&above, &aboveBits, sizeof above);
    const double low = (static_cast<double>(below) + size) / 2;
    const double high = (static_cast<double>(above) + size) / 2;
    for (size_t k = 0; k <= 10; ++k) {
      const double power = kPowersOfTen[k];
      // Below 10^16, so the conversion, which truncates, rounds half up.
      const auto m =
          static_cast<double>(static_cast<int64_t>(static_cast<double>(size) * power + 0.5));
      if (m >= 1e6) {
        break;
      }
      if (low * power < m && m < high * power) {
        const auto km = static_cast<long long>(value < 0 ? -m : m);
        // Fewer than seven digits: never the exact integer that writeTickText declines.
        return NumberText([&](char* begin, char*) {
          return writeTickText(begin, km, -static_cast<int>(k), separator);
        });
      }
    }
  }
  return SingleText(value, separator);
}

NumberText inputText(const FigureInput& input, size_t i) {
  const float WaveformInputs::*fields[] = {&WaveformInputs::t, &WaveformInputs::T,
                                           &WaveformInputs::Ip, &WaveformInputs::Ia,
                                           &WaveformInputs::Ib};
  return singleText(input.inputs.*fields[i], separatorOf(input));
}

constexpr size_t kBlockSize = 4096;

}  // namespace

TextStore& TextStore::operator=(TextStore&& other) noexcept {
  arena_ = std::exchange(other.arena_, nullptr);
  blocks_ = std::move(other.blocks_);
  start_ = std::exchange(other.start_, nullptr);
  at_ = std::exchange(other.at_, nullptr);
  end_ = std::exchange(other.end_, nullptr);
  other.blocks_.clear();
  return *this;
}

void TextStore::append(std::string_view piece) {
  if (static_cast<size_t>(end_ - at_) < piece.size()) {
    grow(piece.size());
  }
  copyShort(at_, piece.data(), piece.size());
  at_ += piece.size();
}

std::string_view TextStore::finish() {
  const std::string_view text(start_, static_cast<size_t>(at_ - start_));
  start_ = at_;
  return text;
}

// A new block, with the text being written moved to its start.
void TextStore::grow(size_t size) {
  const auto written = static_cast<size_t>(at_ - start_);
  const size_t capacity = std::max(kBlockSize, 2 * (written + size));
  char* block = arena_ != nullptr ? static_cast<char*>(arena_->take(capacity, 1)) : nullptr;
  if (block == nullptr) {
    block = blocks_.emplace_back(std::unique_ptr<char[]>(new char[capacity])).get();
  }
  if (written != 0) {
    std::memcpy(block, start_, written);
  }
  start_ = block;
  at_ = start_ + written;
  end_ = start_ + capacity;
}

void* FigureArena::take(size_t bytes, size_t alignment) {
  const size_t start = (used_ + alignment - 1) & ~(alignment - 1);
  if (start > sizeof bytes_ || sizeof bytes_ - start < bytes) {
    return nullptr;
  }
  used_ = start + bytes;
  return bytes_ + start;
}

Figure MakeFigure(const FigureInput& input) {
  Figure figure;
  figure.arena.reset(new FigureArena);  // not value-initialised: its bytes stay unwritten
  const auto inArena = [&figure](auto& vector) {
    using Vector = std::remove_reference_t<decltype(vector)>;
    vector = Vector(typename Vector::allocator_type(figure.arena.get()));
  };
  inArena(figure.lines);
  inArena(figure.steps);
  inArena(figure.paths);
  inArena(figure.panelTexts);
  inArena(figure.marks);
  inArena(figure.pieces);
  inArena(figure.texts);
  inArena(figure.panels);
  figure.store = TextStore(figure.arena.get());
  figure.labels = TextStore(figure.arena.get());
  figure.width = kWidth;
  figure.height = kHeading + 3 * (kPanelHeight + kGap);
  TextStore& store = figure.store;

  store.append("Waveforms of one press: ");
  for (size_t i = 0; i < kInputBoxes.size(); ++i) {
    if (i != 0) {
      store.append(", ");
    }
    store.append(kInputBoxes[i].key);
    store.append(" = ");
    store.append(inputText(input, i));
  }
  store.append(", D = ");
  const float D = input.inputs.D;
  if (std::isfinite(D)) {
    store.append(singleText(D, separatorOf(input)));
  } else {
    store.append("undefined");
  }
  figure.title = store.finish();
  figure.texts.reserve(2);
  figure.texts.push_back({{10, 20}, figure.title, TextRole::Heading});

  for (size_t i = 0; i < kInputBoxes.size(); ++i) {
    if (input.unread[i]) {
      store.append(kInputBoxes[i].key);
      store.append(" is ");
      store.append(wordsOf(*input.unread[i]).phrase);
      store.append(", so the press used ");
      store.append(inputText(input, i));
      store.append(". ");
    }
  }
  if (input.dutyCycle) {
    store.append("D could not be formed: ");
    store.append(wordsOf(*input.dutyCycle).phrase);
    store.append(". ");
  }
  if (input.limited) {
    store.append("D was above 1, so t was limited to T. ");
  }
  store.append("Current in the units of Ip, Ia and Ib; two periods.");
  // The notes begin the description, which goes on with each panel's sentence.
  const std::string_view notes = store.since(0);
  figure.texts.push_back({{10, 40}, notes, TextRole::Note});

  TickTexts ticks(separatorOf(input), figure.labels, figure.arena.get());
  ValueTexts values(separatorOf(input), figure.labels);
  figure.panels.reserve(kResultSlotFacts.size());
  // Where each panel's primitives start, and after the last panel where they end; a path's
  // steps start where those of the path before end.
  struct Starts {
    size_t lines, paths, texts, marks, steps, pieces;
  };
  std::array<Starts, kResultSlotFacts.size() + 1> starts{};
  // Where each panel's sentence starts and ends in the description, past its blank.
  std::array<std::pair<size_t, size_t>, kResultSlotFacts.size()> said{};
  figure.lines.reserve(6 * 24);
  figure.panelTexts.reserve(6 * 24);
  figure.paths.reserve(6);
  figure.steps.reserve(6 * 20);  // at most four pieces, an arch four steps, a jump before
  figure.marks.reserve(6);
  figure.pieces.reserve(6 * 4);
  for (size_t i = 0; i < kResultSlotFacts.size(); ++i) {
    Panel& panel = figure.panels.emplace_back();
    panel.slot = kResultSlotFacts[i].slot;
    panel.id = kResultSlotFacts[i].column;
    panel.left = kGap + static_cast<double>(i % 2) * (kPanelWidth + kGap);
    panel.top = kHeading + static_cast<double>(i / 2) * (kPanelHeight + kGap);
    panel.width = kPanelWidth;
    panel.height = kPanelHeight;
    starts[i] = {figure.lines.size(), figure.paths.size(), figure.panelTexts.size(),
                 figure.marks.size(), figure.steps.size(), figure.pieces.size()};
    said[i].first = store.length() + 1;
    makePanel(panel, figure, input, input.results[i], ticks, values);
    said[i].second = store.length();
  }
  starts.back() = {figure.lines.size(), figure.paths.size(), figure.panelTexts.size(),
                   figure.marks.size(), figure.steps.size(), figure.pieces.size()};
  const auto run = [](const auto& all, size_t from, size_t to) {
    return std::span(all).subspan(from, to - from);
  };
  for (size_t i = 0; i < figure.panels.size(); ++i) {
    Panel& panel = figure.panels[i];
    const Starts& at = starts[i];
    const Starts& next = starts[i + 1];
    panel.lines = run(figure.lines, at.lines, next.lines);
    panel.paths = run(figure.paths, at.paths, next.paths);
    panel.texts = run(figure.panelTexts, at.texts, next.texts);
    panel.marks = run(figure.marks, at.marks, next.marks);
    panel.pieces = run(figure.pieces, at.pieces, next.pieces);
    if (at.paths != next.paths) {
      figure.paths[at.paths].steps = run(figure.steps, at.steps, next.steps);
    }
  }
  figure.description = store.finish();
  for (size_t i = 0; i < figure.panels.size(); ++i) {
    const auto [from, to] = said[i];
    figure.panels[i].words = figure.description.substr(from, to - from);
  }
  figure.plainTexts = std::all_of(input.results.begin(), input.results.end(),
                                  [](const FigureInput::Result& r) { return isPlain(r.text); });
  return figure;
}

}  // namespace rms
