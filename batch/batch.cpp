// SPDX-License-Identifier: MIT
#include "batch/batch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "batch/file_source.h"
#include "batch/stdio_buffer.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/services.h"
#include "window/calculator.h"

namespace rms {
namespace {

constexpr std::string_view kProgram = "korvath-rms";
constexpr size_t kReadSize = 64 * 1024;
constexpr size_t kFlushSize = 64 * 1024;
constexpr size_t kShownLength = 60;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The input boxes in the order of the CSV columns, with the columns' names.
struct InputColumn {
  TextBox box;
  std::string_view name;
  float WaveformInputs::*field;
};
constexpr std::array<InputColumn, 5> kInputColumns = {{
    {TextBox::t, "t", &WaveformInputs::t},
    {TextBox::P, "T", &WaveformInputs::T},
    {TextBox::Ip, "Ip", &WaveformInputs::Ip},
    {TextBox::Ia, "Ia", &WaveformInputs::Ia},
    {TextBox::Ib, "Ib", &WaveformInputs::Ib},
}};

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

size_t resultIndex(TextBox box) {
  return static_cast<size_t>(box) - static_cast<size_t>(TextBox::Text6_0);
}

// The window of one row: its input boxes hold the row's texts, and whatever the press
// writes, shows or counts is kept for the row. A comma written as the decimal mark (in a
// file that reads with one) is written back as '.', the mark of every output.
class RowServices : public Services, public PressListener {
 public:
  std::array<std::string_view, 5> inputs;  // the row's texts, valid for one press

  void clear() {
    for (std::string& result : results_) {
      result.clear();
    }
    failures_.clear();
    limited_ = false;
  }

  std::string text(TextBox box) const override {
    if (box < TextBox::Text6_0) {
      return std::string(inputs[static_cast<size_t>(box)]);
    }
    return results_[resultIndex(box)];
  }
  void setText(TextBox box, std::string_view text) override {
    if (box < TextBox::Text6_0) {
      return;  // only t is written back; the row shows the t the press ended with
    }
    std::string& result = results_[resultIndex(box)];
    result.assign(text);
    if (result.find(',') != std::string::npos) {
      std::replace(result.begin(), result.end(), ',', '.');
    }
  }
  // The duty-limit warning is the press's one information box; the others are errors.
  void showMessage(std::string_view, MessageStyle style, std::string_view) override {
    limited_ = limited_ || style == MessageStyle::Information;
  }
  void endProgram() override {}
  void failureCounted(const CountedFailure& failure) override { failures_.push_back(failure); }

  bool limited() const { return limited_; }
  const std::array<std::string, 6>& results() const { return results_; }
  const std::vector<CountedFailure>& failures() const { return failures_; }

 private:
  std::array<std::string, 6> results_;
  std::vector<CountedFailure> failures_;
  bool limited_ = false;
};

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

// One press of a fresh window over the row's texts, written as the row.
bool appendPress(RowServices& services, char decimalMark, std::string& out) {
  services.clear();
  Calculator calculator(services, decimalMark, &services);
  calculator.Command1_Click();

  const WaveformInputs& in = calculator.inputs();
  for (const InputColumn& input : kInputColumns) {
    const bool read = std::ranges::none_of(services.failures(), [&](const CountedFailure& f) {
      return f.statement == PressStatement::ReadBox && f.box == input.box;
    });
    if (read) {
      out += std::string_view(SingleText(in.*input.field));
    }
    out += ',';
  }
  out += std::string_view(SingleText(in.D));
  out += services.limited() ? ",yes," : ",no,";
  for (const std::string& result : services.results()) {
    out += result;
    out += ',';
  }
  std::string error;
  for (const CountedFailure& failure : services.failures()) {
    if (!error.empty()) {
      error += "; ";
    }
    error.append(columnOf(failure)).append(": ").append(reason(failure.number));
  }
  appendCsvField(error, out);
  out += '\n';
  return error.empty();
}

bool isSpace(char c) {
  return c == ' ';
}

// What each kind of file is made of: its separator, the separators it must not hold
// outside quotes (in a tab- or semicolon-separated file a comma is the decimal mark, not a
// separator), its decimal mark, and its names in messages.
struct SeparatorRow {
  Separator separator;
  char own;
  std::string_view foreign;
  char decimalMark;
  std::string_view one;   // "a comma in ..."
  std::string_view many;  // "... a file separated by commas"
};
constexpr std::array<SeparatorRow, 4> kSeparators = {{
    {Separator::Tab, '\t', ";", ',', "a tab", "tabs"},
    {Separator::Semicolon, ';', "\t", ',', "a semicolon", "semicolons"},
    {Separator::Comma, ',', "\t;", '.', "a comma", "commas"},
    {Separator::Blanks, ' ', "\t;,", '.', "blanks", "blanks"},
}};

constexpr const SeparatorRow& rowOf(Separator separator) {
  return kSeparators[static_cast<size_t>(separator)];
}
static_assert(
    [] {
      for (size_t i = 0; i < kSeparators.size(); ++i) {
        if (kSeparators[i].separator != static_cast<Separator>(i)) {
          return false;
        }
      }
      return true;
    }(),
    "the rows stand in the order of the enum");

std::string foreignSeparator(char found, Separator separator) {
  std::string why;
  for (const SeparatorRow& row : kSeparators) {
    if (row.own == found) {
      why = row.one;
    }
  }
  return why.append(" in a file separated by ").append(rowOf(separator).many);
}

// Splits a line into its fields: up to six are kept in `fields`, all are counted. A field
// is a view of the line, or of `unquoted` when quotes had to be taken off. An empty result
// means the line split; otherwise it is the reason for an error row.
std::string splitFields(std::string_view line, Separator separator,
                        std::array<std::string_view, 6>& fields,
                        std::array<std::string, 6>& unquoted, size_t& count) {
  const char own = rowOf(separator).own;
  const std::string_view foreignChars = rowOf(separator).foreign;
  const bool foreignTab = foreignChars.find('\t') != std::string_view::npos;
  const bool foreignSemicolon = foreignChars.find(';') != std::string_view::npos;
  const bool foreignComma = foreignChars.find(',') != std::string_view::npos;
  auto isForeign = [&](char c) {
    return (c == '\t' && foreignTab) || (c == ';' && foreignSemicolon) ||
           (c == ',' && foreignComma);
  };
  std::string scratch;
  count = 0;
  size_t i = 0;
  const size_t n = line.size();
  while (i < n && isSpace(line[i])) {
    ++i;
  }
  while (true) {
    std::string_view discarded;
    std::string_view& field = count < fields.size() ? fields[count] : discarded;
    if (i < n && line[i] == '"') {
      std::string& text = count < unquoted.size() ? unquoted[count] : scratch;
      text.clear();
      ++i;
      while (true) {
        const size_t quote = line.find('"', i);
        if (quote == std::string_view::npos) {
          return "a quoted field without its closing quote";
        }
        text.append(line.substr(i, quote - i));
        i = quote + 1;
        if (i < n && line[i] == '"') {
          text += '"';
          ++i;
          continue;
        }
        break;
      }
      field = text;
      while (i < n && isSpace(line[i])) {
        ++i;
      }
      if (i < n && line[i] != own) {
        if (isForeign(line[i])) {
          return foreignSeparator(line[i], separator);
        }
        return "text after a closing quote";
      }
    } else {
      const size_t start = i;
      while (i < n && line[i] != own) {
        if (isForeign(line[i])) {
          return foreignSeparator(line[i], separator);
        }
        ++i;
      }
      size_t end = i;
      while (end > start && isSpace(line[end - 1])) {
        --end;
      }
      field = line.substr(start, end - start);
    }
    ++count;
    if (i == n) {
      return {};
    }
    ++i;  // the separator
    while (i < n && isSpace(line[i])) {
      ++i;
    }
    if (i == n) {
      if (separator != Separator::Blanks) {
        if (count < fields.size()) {
          fields[count] = {};
        }
        ++count;  // a trailing separator closes an empty field
      }
      return {};
    }
  }
}

// A line of one operating point into its row.
class RowMaker {
 public:
  explicit RowMaker(Separator separator)
      : separator_(separator), decimalMark_(decimalMarkOf(separator)) {}

  Separator separator() const { return separator_; }

  bool append(std::string_view line, std::string& out, RowObserver* observer) {
    size_t count = 0;
    const std::string why = splitFields(line, separator_, fields_, unquoted_, count);
    if (!why.empty()) {
      appendErrorRow(why, out);
      return false;
    }
    // One separator after the last field is how spreadsheets often end a row.
    if (count == 6 && fields_[5].empty()) {
      count = 5;
    }
    if (count != 5) {
      appendErrorRow("expected 5 numbers, found " + std::to_string(count), out);
      return false;
    }
    for (size_t i = 0; i < 5; ++i) {
      services_.inputs[i] = fields_[i];
    }
    const size_t start = out.size();
    const bool complete = appendPress(services_, decimalMark_, out);
    if (observer != nullptr) {
      observer->rowComputed(services_.inputs, decimalMark_,
                            std::string_view(out).substr(start, out.size() - start - 1));
    }
    return complete;
  }

 private:
  Separator separator_;
  char decimalMark_;
  std::array<std::string_view, 6> fields_;
  std::array<std::string, 6> unquoted_;
  RowServices services_;
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

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// What becomes of each line of an input, in order: skipped, the header, or one row.
class Reader {
 public:
  Reader(std::string& out, RowObserver* observer) : out_(out), observer_(observer) {}

  void line(std::string_view text, bool tooLong) {
    const bool first = std::exchange(firstLine_, false);
    if (first && text.starts_with(kByteOrderMark)) {
      text.remove_prefix(kByteOrderMark.size());
    }
    while (text.ends_with('\r')) {
      text.remove_suffix(1);
    }
    size_t begin = 0;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t')) {
      ++begin;
    }
    if (!tooLong && (begin == text.size() || text[begin] == '#')) {
      return;  // blank, or a comment
    }
    if (tooLong || text.size() > kMaxLineLength) {
      fail("line longer than 1 MiB");
      return;
    }
    if (text.find('\0') != std::string_view::npos) {
      fail("a NUL byte: not UTF-8 text (UTF-16?)");
      return;
    }
    if (!rows_) {
      rows_.emplace(separatorOf(text));
      if (std::exchange(headerPossible_, false) && isHeader(text)) {
        return;
      }
    }
    // Blanks around a line go, and so do tabs, except where a tab separates fields.
    const bool tabs = rows_->separator() != Separator::Tab;
    auto blank = [tabs](char c) { return c == ' ' || (tabs && c == '\t'); };
    while (!text.empty() && blank(text.front())) {
      text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
      text.remove_suffix(1);
    }
    anyError_ = !rows_->append(text, out_, observer_) || anyError_;
  }

  bool anyError() const { return anyError_; }

 private:
  void fail(std::string_view why) {
    appendErrorRow(why, out_);
    anyError_ = true;
    headerPossible_ = false;
  }

  std::string& out_;
  RowObserver* observer_;
  std::optional<RowMaker> rows_;  // once the separator is known
  bool firstLine_ = true;
  bool headerPossible_ = true;
  bool anyError_ = false;
};

}  // namespace

Separator separatorOf(std::string_view line) {
  bool quoted = false;
  bool semicolon = false;
  bool comma = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted) {
      if (c == '\t') {
        return Separator::Tab;
      }
      semicolon = semicolon || c == ';';
      comma = comma || c == ',';
    }
  }
  return semicolon ? Separator::Semicolon : comma ? Separator::Comma : Separator::Blanks;
}

char decimalMarkOf(Separator separator) {
  return rowOf(separator).decimalMark;
}

bool isHeader(std::string_view line) {
  if (line.find('\0') != std::string_view::npos) {
    return false;
  }
  auto boundary = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '"'; };
  for (size_t i = 0; i < line.size(); ++i) {
    if (i > 0 && !boundary(line[i - 1])) {
      continue;  // not the start of a word
    }
    size_t j = i;
    if (j < line.size() && (line[j] == '+' || line[j] == '-')) {
      ++j;
    }
    if (j < line.size() && (line[j] == '.' || line[j] == ',')) {
      ++j;
    }
    if (j < line.size() && isDigit(line[j])) {
      return false;
    }
  }
  return true;
}

long TextSource::readSome(char* buffer, size_t size) {
  const size_t count = std::min({size, piece_, text_.size()});
  std::memcpy(buffer, text_.data(), count);
  text_.remove_prefix(count);
  return static_cast<long>(count);
}

bool AppendBatchRow(std::string_view line, Separator separator, std::string& out,
                    RowObserver* observer) {
  return RowMaker(separator).append(line, out, observer);
}

bool AppendBatchRow(std::string_view line, std::string& out) {
  return AppendBatchRow(line, separatorOf(line), out);
}

int RunBatch(ByteSource& in, std::string_view inputName, std::ostream& out, std::ostream& err,
             RowObserver* observer) {
  std::string buffer(kBatchHeader);
  buffer += '\n';
  Reader reader(buffer, observer);
  std::vector<char> chunk(kReadSize);
  // A line begun in an earlier chunk; it may grow a little past the limit, for the line
  // ends it may still lose.
  std::string partial;
  bool partialTooLong = false;
  constexpr size_t kPartialLimit = kMaxLineLength + 8;
  auto keep = [&](std::string_view piece) {
    if (partialTooLong || partial.size() + piece.size() > kPartialLimit) {
      partialTooLong = true;
      partial.clear();
    } else {
      partial.append(piece);
    }
  };

  while (true) {
    // Flushing before every read keeps rows flowing to a reader that waits for them.
    if (!flush(buffer, out, err)) {
      return kBatchFailed;
    }
    errno = 0;
    const long count = in.readSome(chunk.data(), chunk.size());
    if (count < 0) {
      err << kProgram << ": cannot read " << inputName << ": " << systemReason(errno) << '\n';
      flush(buffer, out, err);
      return kBatchFailed;
    }
    if (count == 0) {
      break;
    }
    std::string_view data(chunk.data(), static_cast<size_t>(count));
    for (size_t nl = data.find('\n'); nl != std::string_view::npos; nl = data.find('\n')) {
      if (partial.empty() && !partialTooLong) {
        reader.line(data.substr(0, nl), false);
      } else {
        keep(data.substr(0, nl));
        reader.line(partial, partialTooLong);
        partial.clear();
        partialTooLong = false;
      }
      data.remove_prefix(nl + 1);
      if (buffer.size() >= kFlushSize && !flush(buffer, out, err)) {
        return kBatchFailed;
      }
    }
    keep(data);
  }
  if (!partial.empty() || partialTooLong) {
    reader.line(partial, partialTooLong);
  }
  if (!flush(buffer, out, err)) {
    return kBatchFailed;
  }
  return reader.anyError() ? kBatchRowErrors : kBatchComplete;
}

std::string cutForMessage(std::string_view text, size_t length) {
  if (text.size() <= length) {
    return std::string(text);
  }
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    --length;  // not inside a UTF-8 sequence
  }
  return std::string(text.substr(0, length)).append("...");
}

std::string quotedForMessage(std::string_view text) {
  return "'" + cutForMessage(text, kShownLength) + "'";
}

int RunBatchFile(std::string_view path) {
  StdioBuffer errors(stderr);
  StdioBuffer output(stdout);
  std::ostream err(&errors);
  std::ostream out(&output);
  if (path == "-") {
    FileSource input = FileSource::standardInput();
    return RunBatch(input, "standard input", out, err);
  }
  const std::string name = quotedForMessage(path);
  errno = 0;
  std::optional<FileSource> file = FileSource::open(std::string(path));
  if (!file) {
    err << kProgram << ": cannot read " << name << ": " << systemReason(errno) << '\n';
    return kBatchFailed;
  }
  return RunBatch(*file, name, out, err);
}

}  // namespace rms
