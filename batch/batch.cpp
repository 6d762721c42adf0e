// SPDX-License-Identifier: MIT
#include "batch/batch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <limits>
#include <ostream>
#include <utility>
#include <vector>

#include "batch/stdio_buffer.h"
#include "core/duty_cycle_steps.h"
#include "core/waveform.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"

namespace rms {
namespace {

struct InputColumn {
  std::string_view name;
  float WaveformInputs::*field;
};
constexpr std::array<InputColumn, 5> kInputColumns = {{
    {"t", &WaveformInputs::t},
    {"T", &WaveformInputs::T},
    {"Ip", &WaveformInputs::Ip},
    {"Ia", &WaveformInputs::Ia},
    {"Ib", &WaveformInputs::Ib},
}};

// In the order of kResultSlots, as in the header.
constexpr std::array<std::string_view, 6> kResultColumns = {
    "full_wave_sinusoidal", "pulsed_sinusoidal", "rectangular", "trapezoid", "triangle",
    "general_ac_coupled",
};

constexpr std::string_view kProgram = "korvath-rms";
constexpr size_t kFlushSize = 64 * 1024;

std::string_view reason(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::SqrtOfNegative:
      return "square root of a negative number";
    case ErrorNumber::Overflow:
      return "too large";
    case ErrorNumber::OutOfMemory:
      return "out of memory";
    case ErrorNumber::DivisionByZero:
      return "division by zero";
    case ErrorNumber::NotANumber:
      return "not a number";
    case ErrorNumber::InvalidOperation:
      return "undefined result";
  }
  return "failed";  // not reached
}

void addReason(std::string& error, std::string_view column, std::string_view why) {
  if (!error.empty()) {
    error += "; ";
  }
  error.append(column).append(": ").append(why);
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isSeparator(char c) {
  return isBlank(c) || c == ',' || c == ';';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// Calls visit(field) for each field of a trimmed, non-empty line and returns their count.
// Blanks around a comma or semicolon belong to it; a run of blanks alone separates too. Two
// commas in a row enclose an empty field, as in CSV.
template <typename Visit>
size_t forEachField(std::string_view line, Visit&& visit) {
  size_t count = 0;
  size_t i = 0;
  while (true) {
    const size_t start = i;
    while (i < line.size() && !isSeparator(line[i])) {
      ++i;
    }
    visit(count++, line.substr(start, i - start));
    while (i < line.size() && isBlank(line[i])) {
      ++i;
    }
    if (i == line.size()) {
      return count;
    }
    if (line[i] == ',' || line[i] == ';') {
      ++i;
      while (i < line.size() && isBlank(line[i])) {
        ++i;
      }
    }
  }
}

bool isNumber(std::string_view text) {
  try {
    TextToSingle(text);
    return true;
  } catch (const Failure& failure) {
    return failure.number() != ErrorNumber::NotANumber;  // "1e99" is a number, too large
  }
}

bool holdsNoNumber(std::string_view line) {
  bool number = false;
  forEachField(line, [&](size_t, std::string_view field) { number = number || isNumber(field); });
  return !number;
}

void appendCsvField(std::string_view text, std::string& out) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(text);
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') {
      out += '"';
    }
    out += c;
  }
  out += '"';
}

bool appendPoint(const BatchPoint& point, std::string& out) {
  for (const std::optional<float>& input : point.inputs) {
    if (input) {
      out += SingleToText(*input);
    }
    out += ',';
  }
  if (point.D) {
    out += SingleToText(*point.D);
    out += ',';
    out += point.limited ? "yes" : "no";
  } else {
    out += ',';
  }
  out += ',';
  for (const std::optional<double>& result : point.results) {
    if (result) {
      out += DoubleToText(*result);
    }
    out += ',';
  }
  appendCsvField(point.error, out);
  out += '\n';
  return point.error.empty();
}

// A row of empty columns but the last, which gives the reason.
void appendErrorRow(std::string_view why, std::string& out) {
  constexpr auto kSeparators = static_cast<size_t>(std::ranges::count(kBatchHeader, ','));
  out.append(kSeparators, ',');
  appendCsvField(why, out);
  out += '\n';
}

std::string systemReason(int error) {
  return error != 0 ? std::strerror(error) : "input/output error";
}

bool flush(std::string& buffer, std::ostream& out, std::ostream& err) {
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  out.flush();
  buffer.clear();
  if (!out) {
    err << kProgram << ": cannot write the output: " << systemReason(errno) << '\n';
    return false;
  }
  return true;
}

}  // namespace

BatchPoint CalculatePoint(std::span<const std::string_view, 5> fields) {
  BatchPoint point;
  WaveformInputs in;
  bool allRead = true;
  for (size_t i = 0; i < kInputColumns.size(); ++i) {
    try {
      const float value = TextToSingle(fields[i]);
      in.*kInputColumns[i].field = value;
      point.inputs[i] = value;
    } catch (const Failure& failure) {
      addReason(point.error, kInputColumns[i].name, reason(failure.number()));
      allRead = false;
    }
  }
  if (!allRead) {
    return point;
  }
  if (in.T == 0.0f) {
    addReason(point.error, "T", "period is zero");
    return point;
  }

  // Only the last duty-cycle step counts: a quotient beyond the single range is cut back by
  // the limit and then forms a good D.
  std::optional<ErrorNumber> dutyFailure;
  FormDutyCycle(
      in,
      [&](auto&& step) {
        try {
          step();
          dutyFailure.reset();
        } catch (const Failure& failure) {
          dutyFailure = failure.number();
        }
      },
      [&] { point.limited = true; });
  point.inputs[0] = in.t;
  point.D = in.D;
  if (dutyFailure) {
    addReason(point.error, "D", reason(*dutyFailure));
  }

  for (size_t i = 0; i < kResultSlots.size(); ++i) {
    try {
      point.results[i] = ComputeResult(kResultSlots[i], in);
    } catch (const Failure& failure) {
      addReason(point.error, kResultColumns[i], reason(failure.number()));
    }
  }
  return point;
}

bool AppendBatchRow(std::string_view line, std::string& out) {
  std::array<std::string_view, 5> texts;
  const size_t count = forEachField(trimmed(line), [&](size_t i, std::string_view field) {
    if (i < texts.size()) {
      texts[i] = field;
    }
  });
  if (count != texts.size()) {
    std::string why("expected 5 numbers, found ");
    why += std::to_string(count);
    appendErrorRow(why, out);
    return false;
  }
  return appendPoint(CalculatePoint(texts), out);
}

int RunBatch(std::istream& in, std::string_view inputName, std::ostream& out, std::ostream& err) {
  std::string buffer(kBatchHeader);
  buffer += '\n';
  // One line at a time in a fixed buffer: one byte more than the longest line, so that a
  // longer line shows, and one for getline's terminating zero.
  std::vector<char> line(kMaxLineLength + 2);
  bool headerPossible = true;
  bool anyError = false;
  auto readFailed = [&] {
    err << kProgram << ": cannot read " << inputName << ": " << systemReason(errno) << '\n';
    flush(buffer, out, err);
    return kBatchFailed;
  };

  while (true) {
    if (buffer.size() >= kFlushSize || in.rdbuf()->in_avail() <= 0) {
      if (!flush(buffer, out, err)) {
        return kBatchFailed;
      }
    }
    errno = 0;
    in.getline(line.data(), static_cast<std::streamsize>(line.size()));
    if (in.bad()) {
      return readFailed();
    }
    size_t length = static_cast<size_t>(in.gcount());
    bool tooLong = false;
    if (in.fail() && !in.eof()) {  // the buffer filled before the line ended
      in.clear();
      in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
      if (in.bad()) {
        return readFailed();
      }
      tooLong = true;
    } else if (length == 0 && in.eof()) {
      break;
    } else if (!in.eof()) {
      --length;  // the '\n', which getline counts but does not store
    }
    std::string_view text(line.data(), tooLong ? 0 : length);
    if (text.ends_with('\r')) {
      text.remove_suffix(1);
    }
    if (tooLong || text.size() > kMaxLineLength) {
      appendErrorRow("line longer than 1 MiB", buffer);
      anyError = true;
      headerPossible = false;
      continue;
    }
    text = trimmed(text);
    if (text.empty() || text.front() == '#') {
      continue;
    }
    if (std::exchange(headerPossible, false) && holdsNoNumber(text)) {
      continue;
    }
    anyError = !AppendBatchRow(text, buffer) || anyError;
  }
  if (!flush(buffer, out, err)) {
    return kBatchFailed;
  }
  return anyError ? kBatchRowErrors : kBatchComplete;
}

int RunBatchFile(std::string_view path) {
  StdioBuffer errors(stderr);
  StdioBuffer output(stdout);
  std::ostream err(&errors);
  std::ostream out(&output);
  if (path == "-") {
    StdioBuffer input(stdin);
    std::istream in(&input);
    return RunBatch(in, "standard input", out, err);
  }
  std::string name(1, '\'');
  name.append(path).append(1, '\'');
  errno = 0;
  std::ifstream file(std::string(path), std::ios::binary);
  if (!file.is_open()) {
    err << kProgram << ": cannot read " << name << ": " << systemReason(errno) << '\n';
    return kBatchFailed;
  }
  return RunBatch(file, name, out, err);
}

}  // namespace rms
