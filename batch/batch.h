// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "batch/reader.h"
#include "core/result_slots.h"
#include "runtime/recorder/recorder.h"
#include "window/calculator.h"

namespace rms {

// Batch calculation for design sweeps: operating points in, one CSV row each out.
//
// A row is one press of Calculate in a fresh window whose five input boxes hold the row's
// five texts: the batch runs the window's own Command1_Click over services that record
// what the press did (the t written back, the warning, the six result texts) and names
// each failure the press counted in the row's `error` column. No failure ends the run.
//
// The lines are read as reader.h describes; the output always writes '.'.
//
// Nothing here knows about Qt or a window.

namespace batch_detail {
inline constexpr std::string_view kInputsHeader = "t,T,Ip,Ia,Ib,D,limited,";
inline constexpr std::string_view kErrorHeader = "error";
constexpr size_t headerLength() {
  size_t length = kInputsHeader.size() + kErrorHeader.size();
  for (const ResultSlotFacts& slot : kResultSlotFacts) {
    length += slot.column.size() + 1;
  }
  return length;
}
constexpr std::array<char, headerLength()> headerText() {
  std::array<char, headerLength()> text{};
  size_t at = 0;
  auto put = [&](std::string_view part) {
    for (char c : part) {
      text[at++] = c;
    }
  };
  put(kInputsHeader);
  for (const ResultSlotFacts& slot : kResultSlotFacts) {
    put(slot.column);
    put(",");
  }
  put(kErrorHeader);
  return text;
}
inline constexpr std::array<char, headerLength()> kHeaderText = headerText();
}  // namespace batch_detail

// The first line of the output, without its line end.
inline constexpr std::string_view kBatchHeader(batch_detail::kHeaderText.data(),
                                               batch_detail::kHeaderText.size());

// Exit statuses of a batch run.
inline constexpr int kBatchComplete = 0;   // every row computed in full
inline constexpr int kBatchRowErrors = 1;  // at least one row carries an error
inline constexpr int kBatchFailed = 2;     // the input could not be read or the output written

// The bytes of a batch input. FileSource reads a file or standard input.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads what is at hand, at most `size` bytes, blocking only while nothing is. Returns the
  // count, 0 at the end of the input, or -1 with errno set.
  virtual long readSome(char* buffer, size_t size) = 0;
};

// A text in memory, handed out in pieces of at most `piece` bytes.
class TextSource : public ByteSource {
 public:
  explicit TextSource(std::string_view text, size_t piece = 64 * 1024)
      : text_(text), piece_(piece == 0 ? 1 : piece) {}
  long readSome(char* buffer, size_t size) override;

 private:
  std::string_view text_;
  size_t piece_;
};

// Told of every computed row (a line with five fields) with the texts that went into the
// boxes, for checks of the batch against a window.
class RowObserver {
 public:
  virtual void rowComputed(std::span<const std::string_view, 5> texts, char decimalMark,
                           std::string_view row) = 0;

 protected:
  ~RowObserver() = default;
};

// Appends the CSV row of one input line of a file with `separator`, with its '\n', to
// `out`. Returns false when the row carries an error. The line is an operating point: not
// blank, a comment or a header, its line end removed.
bool AppendBatchRow(std::string_view line, Separator separator, std::string& out,
                    RowObserver* observer = nullptr);
// The same, with the separator taken from the line itself, as from a file's first line.
bool AppendBatchRow(std::string_view line, std::string& out);

// One press of a window over `recorder` whose five input boxes hold `point` (in the order
// of the batch's columns), as a row presses it.
const PressRecord& PressPoint(Recorder& recorder, std::span<const std::string_view, 5> point,
                              char decimalMark);

// Reads operating points from `in` and writes the CSV to `out`: every line that is not
// blank, a comment or the header gives exactly one row, in order. Whatever has been
// written is flushed before each read, so that a pipe gets its rows as its points arrive.
// A failure to read or write is told on `err` as one line naming `inputName` or the
// output. Memory stays bounded by kMaxLineLength whatever the input's size. Returns an exit
// status above.
int RunBatch(ByteSource& in, std::string_view inputName, std::ostream& out, std::ostream& err,
             RowObserver* observer = nullptr);

// RunBatch over the file at `path` (as FileSource opens it), or over standard input when
// the path is "-", into standard output, telling a failure on standard error with the
// file's name as quotedFileName gives it. Refused with kBatchFailed before anything is
// written: an input that is the regular file standard output writes to, and, when
// standard input was closed (`standardInputClosed`), a path that leads to it.
int RunBatchFile(std::string_view path, bool standardInputClosed = false);

}  // namespace rms
