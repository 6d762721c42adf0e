// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rms {

// Batch calculation for design sweeps: operating points in, one CSV row each out.
//
// A row is calculated as one press of Calculate in a fresh window would calculate it: the
// same reading of the numbers, the same duty limit (core/duty_cycle_steps.h), the same
// formulas and the same result texts. What differs is the failure policy: a row never
// leans on a value from an earlier row, a failure is written into the row's `error`
// column instead of counted, and no number of failures ends the run.
//
// Nothing here knows about Qt or a window.

// The first line of the output, without its line end.
inline constexpr std::string_view kBatchHeader =
    "t,T,Ip,Ia,Ib,D,limited,full_wave_sinusoidal,pulsed_sinusoidal,rectangular,trapezoid,"
    "triangle,general_ac_coupled,error";

// An input line longer than this (without its line end) becomes an error row.
inline constexpr size_t kMaxLineLength = size_t{1} << 20;

// Exit statuses of a batch run.
inline constexpr int kBatchComplete = 0;   // every row computed in full
inline constexpr int kBatchRowErrors = 1;  // at least one row carries an error
inline constexpr int kBatchFailed = 2;     // the input could not be read or the output written

// One operating point. An empty optional is an empty column.
struct BatchPoint {
  std::array<std::optional<float>, 5> inputs;    // t (after the duty limit), T, Ip, Ia, Ib
  std::optional<float> D;                        // present once the duty cycle was formed
  bool limited = false;                          // meaningful only when D is present
  std::array<std::optional<double>, 6> results;  // in the order of kResultSlots
  std::string error;                             // reasons separated by "; ", empty if none
};

// Calculates a point from the texts of t, T, Ip, Ia and Ib.
BatchPoint CalculatePoint(std::span<const std::string_view, 5> fields);

// Appends the CSV row of one input line, with its '\n', to `out`. Returns false when the
// row carries an error. The line is an operating point: not blank, a comment or a header.
bool AppendBatchRow(std::string_view line, std::string& out);

// Reads operating points from `in` and writes the CSV to `out`, flushing whenever the input
// has nothing more at hand, so that a pipe gets its rows as the points arrive. A failure to
// read or write is told on `err` as one line naming `inputName` or the output. Memory stays
// bounded by kMaxLineLength whatever the input's size. Returns an exit status above.
int RunBatch(std::istream& in, std::string_view inputName, std::ostream& out, std::ostream& err);

// RunBatch over the file at `path`, or over standard input when the path is "-", into
// standard output, telling a failure on standard error.
int RunBatchFile(std::string_view path);

}  // namespace rms
