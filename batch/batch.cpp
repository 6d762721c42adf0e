// SPDX-License-Identifier: MIT
#include "batch/batch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <ostream>
#include <span>
#include <utility>
#include <vector>

#include "batch/file_source.h"
#include "batch/messages.h"
#include "batch/stdio_buffer.h"
#include "rms/identity.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/recorder/recorder.h"
#include "runtime/services.h"
#include "window/calculator.h"

namespace rms {
namespace {

constexpr std::string_view kProgram = RMS_PROGRAM;
constexpr size_t kReadSize = 64 * 1024;
constexpr size_t kFlushSize = 64 * 1024;

// The input boxes in the order of the CSV columns, with the columns' names.
struct InputColumn {
  TextBox box;
  std::string_view name;
  float WaveformInputs::*field;
};
constexpr std::array<InputColumn, kInputBoxes.size()> kInputColumns = [] {
  constexpr std::array kFields{&WaveformInputs::t, &WaveformInputs::T, &WaveformInputs::Ip,
                               &WaveformInputs::Ia, &WaveformInputs::Ib};
  std::array<InputColumn, kInputBoxes.size()> columns{};
  for (size_t i = 0; i < columns.size(); ++i) {
    columns[i] = {kInputBoxes[i].box, kInputBoxes[i].key, kFields[i]};
  }
  return columns;
}();

// The column a counted failure of the press belongs to.
std::string_view columnOf(const CountedFailure& failure) {
  switch (failure.statement) {
    case PressStatement::ReadBox:
      for (const InputColumn& input : kInputColumns) {
        if (input.box == failure.box) {
          return input.name;
        }
      }
      return "t";  // not reached: only input boxes are read
    case PressStatement::FormDutyCycle:
      return "D";
    case PressStatement::LimitDuty:
    case PressStatement::WriteBackT:
      return "t";
    case PressStatement::ShowWarning:
      return "limited";
    case PressStatement::ComputeResult:
    case PressStatement::WriteResult:
      for (const ResultSlotFacts& slot : kResultSlotFacts) {
        if (slot.box == failure.box) {
          return slot.column;
        }
      }
      return "D";  // not reached: a result goes to a result box
  }
  return "D";  // not reached
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

// A row of empty columns but the last, which gives the reason.
void appendErrorRow(std::string_view why, std::string& out) {
  constexpr auto kSeparators = static_cast<size_t>(std::ranges::count(kBatchHeader, ','));
  out.append(kSeparators, ',');
  appendCsvField(why, out);
  out += '\n';
}

}  // namespace

const PressRecord& PressPoint(Recorder& recorder, std::span<const std::string_view, 5> point,
                              char decimalMark) {
  for (size_t i = 0; i < kInputColumns.size(); ++i) {
    recorder.type(kInputColumns[i].box, point[i]);
  }
  Calculator calculator(recorder, decimalMark, &recorder);
  return recorder.press(calculator);
}

namespace {

// One press of a fresh window over the row's texts, written as the row. A comma written
// as the decimal mark (in a file that reads with one) is written as '.', the mark of every
// output.
bool appendPress(Recorder& recorder, std::span<const std::string_view, 5> point, char decimalMark,
                 std::string& out) {
  const PressRecord& record = PressPoint(recorder, point, decimalMark);

  for (const InputColumn& input : kInputColumns) {
    const bool read = std::ranges::none_of(record.failures, [&](const CountedFailure& f) {
      return f.statement == PressStatement::ReadBox && f.box == input.box;
    });
    if (read) {
      out += std::string_view(SingleText(record.inputs.*input.field));
    }
    out += ',';
  }
  out += std::string_view(SingleText(record.inputs.D));
  out += record.limited() ? ",yes," : ",no,";
  // Each result column shows the last text of its box; the t box's write is in the input
  // columns already, as the t the press ended with.
  for (std::string_view result : record.resultTexts()) {
    const size_t start = out.size();
    out += result;
    if (decimalMark == ',') {
      std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), ',', '.');
    }
    out += ',';
  }
  std::string error;
  for (const CountedFailure& failure : record.failures) {
    if (!error.empty()) {
      error += "; ";
    }
    error.append(columnOf(failure)).append(": ").append(wordsOf(failure.number).phrase);
  }
  appendCsvField(error, out);
  out += '\n';
  return error.empty();
}

// The press of each operating point, into its row.
class RowMaker {
 public:
  bool append(std::span<const std::string_view, 5> point, char decimalMark, std::string& out,
              RowObserver* observer) {
    const size_t start = out.size();
    const bool complete = appendPress(recorder_, point, decimalMark, out);
    if (observer != nullptr) {
      observer->rowComputed(point, decimalMark,
                            std::string_view(out).substr(start, out.size() - start - 1));
    }
    return complete;
  }

 private:
  Recorder recorder_;
};

std::string systemReason(int error) {
  return error != 0 ? std::strerror(error) : "input/output error";
}

bool flush(std::string& buffer, std::ostream& out, std::ostream& err) {
  if (buffer.empty()) {
    return true;
  }
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  out.flush();
  buffer.clear();
  if (!out) {
    err << kProgram << ": cannot write the output: " << systemReason(errno) << '\n';
    return false;
  }
  return true;
}

// Each line of an input into what it gives: nothing, an error row or the row of a point.
class Rows {
 public:
  Rows(std::string& out, RowObserver* observer) : out_(out), observer_(observer) {}

  void take(Reader::Line line) {
    switch (line) {
      case Reader::Line::Skipped:
        return;
      case Reader::Line::Error:
        appendErrorRow(reader.why(), out_);
        anyError_ = true;
        return;
      case Reader::Line::Point:
        anyError_ =
            !press_.append(reader.fields().point(), reader.decimalMark(), out_, observer_) ||
            anyError_;
        return;
    }
  }

  bool anyError() const { return anyError_; }

  Reader reader;

 private:
  std::string& out_;
  RowObserver* observer_;
  RowMaker press_;
  bool anyError_ = false;
};

}  // namespace

long TextSource::readSome(char* buffer, size_t size) {
  const size_t count = std::min({size, piece_, text_.size()});
  std::memcpy(buffer, text_.data(), count);
  text_.remove_prefix(count);
  return static_cast<long>(count);
}

bool AppendBatchRow(std::string_view line, Separator separator, std::string& out,
                    RowObserver* observer) {
  PointFields fields;
  const std::string why = splitPoint(line, separator, fields);
  if (!why.empty()) {
    appendErrorRow(why, out);
    return false;
  }
  return RowMaker().append(fields.point(), decimalMarkOf(separator), out, observer);
}

bool AppendBatchRow(std::string_view line, std::string& out) {
  return AppendBatchRow(line, separatorOf(line), out);
}

int RunBatch(ByteSource& in, std::string_view inputName, std::ostream& out, std::ostream& err,
             RowObserver* observer) {
  std::string buffer(kBatchHeader);
  buffer += '\n';
  Rows rows(buffer, observer);
  std::vector<char> chunk(kReadSize);
  // Nothing goes out before a read has shown the input readable (a folder opens, but
  // cannot be read).
  bool readable = false;
  while (true) {
    // Flushing before every read keeps rows flowing to a reader that waits for them.
    if (readable && !flush(buffer, out, err)) {
      return kBatchFailed;
    }
    errno = 0;
    const long count = in.readSome(chunk.data(), chunk.size());
    if (count < 0) {
      err << kProgram << ": cannot read " << inputName << ": " << systemReason(errno) << '\n';
      if (readable) {
        flush(buffer, out, err);
      }
      return kBatchFailed;
    }
    readable = true;
    if (count == 0) {
      break;
    }
    rows.reader.input(std::string_view(chunk.data(), static_cast<size_t>(count)));
    while (const std::optional<Reader::Line> line = rows.reader.next()) {
      rows.take(*line);
      if (buffer.size() >= kFlushSize && !flush(buffer, out, err)) {
        return kBatchFailed;
      }
    }
  }
  rows.reader.endOfInput();
  while (const std::optional<Reader::Line> line = rows.reader.next()) {
    rows.take(*line);
  }
  if (!flush(buffer, out, err)) {
    return kBatchFailed;
  }
  return rows.anyError() ? kBatchRowErrors : kBatchComplete;
}

int RunBatchFile(std::string_view path, bool standardInputClosed) {
  StdioBuffer errors(stderr);
  StandardOutput output;
  std::ostream err(&errors);
  std::ostream out(&output);
  const bool standardInput = path == "-";
  const std::string name = standardInput ? "standard input" : quotedFileName(path);
  errno = 0;
  std::optional<FileSource> file =
      standardInput ? FileSource::standardInput() : FileSource::open(std::string(path));
  if (!file) {
    err << kProgram << ": cannot read " << name << ": " << systemReason(errno) << '\n';
    return kBatchFailed;
  }
  const FileIdentity input = file->identity();
  // /dev/stdin then leads to what stands in for the closed stream, not to an input.
  if (standardInputClosed && input.sameAs(identityOf(0))) {
    err << kProgram << ": standard input is closed\n";
    return kBatchFailed;
  }
  // Appending the rows to the file they are read from would go on for ever.
  if (const FileIdentity output = identityOf(1);
      input.regular && output.regular && input.sameAs(output)) {
    err << kProgram << ": " << name << ": input file is output file\n";
    return kBatchFailed;
  }
  return RunBatch(*file, name, out, err);
}

}  // namespace rms
