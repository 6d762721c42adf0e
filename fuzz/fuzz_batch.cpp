// SPDX-License-Identifier: MIT
// Fuzzes the batch: arbitrary bytes through the real reader and row writer.
//
// The first byte chooses how the input arrives: below 128 in one piece, otherwise in
// pieces of (byte - 127) bytes, as a slow pipe delivers it. The rest is the input. Checks:
//   - the output is the header and then one row per input record that is not blank, a
//     comment or the header (the first such record, when no word of it begins like a
//     number), each row with its 14 columns; records are cut here on their own (recordsOf);
//   - every computed row equals one press of a fresh calculator over the same five texts:
//     the inputs that read, D, the warning, the six result boxes, and an error column that
//     is empty exactly when the press counted no failure;
//   - the exit status is 0 exactly when no row carries an error;
//   - and, through the sanitizers, no crash, leak or undefined behaviour.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch.h"
#include "runtime/conversions.h"
#include "runtime/recorder/recorder.h"
#include "window/calculator.h"

namespace {

using rms::TextBox;

std::string_view g_input;

void require(bool ok, const char* what, std::string_view detail = {}) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_batch: %s\n%.*s\n--- input ---\n%.*s\n--- end ---\n", what,
                 static_cast<int>(std::min<size_t>(detail.size(), 2000)), detail.data(),
                 static_cast<int>(std::min<size_t>(g_input.size(), 4000)), g_input.data());
    std::abort();
  }
}

// The columns of a row, the error column unquoted.
std::vector<std::string> columnsOf(std::string_view row) {
  std::vector<std::string> columns(1);
  size_t i = 0;
  for (; i < row.size() && columns.size() < 14; ++i) {
    if (row[i] == ',') {
      columns.emplace_back();
    } else {
      columns.back() += row[i];
    }
  }
  if (columns.size() == 14 && i < row.size() && row[i] == '"') {
    std::string error;
    for (++i; i < row.size(); ++i) {
      if (row[i] == '"') {
        if (i + 1 < row.size() && row[i + 1] == '"') {
          ++i;
        } else {
          require(i + 1 == row.size(), "text after the quoted error column", row);
          break;
        }
      }
      error += row[i];
    }
    columns.back() = error;
  } else if (i < row.size()) {
    columns.back().append(row.substr(i));
  }
  return columns;
}

std::string withPoint(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

class PressCheck : public rms::RowObserver {
 public:
  void rowComputed(std::span<const std::string_view, 5> texts, char mark,
                   std::string_view row) override {
    ++rows;
    const TextBox boxes[] = {TextBox::t, TextBox::P, TextBox::Ip, TextBox::Ia, TextBox::Ib};
    rms::Recorder fake;
    for (size_t b = 0; b < 5; ++b) {
      fake.type(boxes[b], texts[b]);
    }
    rms::Calculator calculator(fake, mark);
    calculator.Command1_Click();
    const rms::WaveformInputs& in = calculator.inputs();
    const float rms::WaveformInputs::*fields[] = {
        &rms::WaveformInputs::t, &rms::WaveformInputs::T, &rms::WaveformInputs::Ip,
        &rms::WaveformInputs::Ia, &rms::WaveformInputs::Ib};

    const std::vector<std::string> columns = columnsOf(row);
    require(columns.size() == 14, "a computed row without 14 columns", row);
    for (size_t b = 0; b < 5; ++b) {
      const bool read = static_cast<bool>(rms::TryTextToSingle(texts[b], mark));
      require(columns[b] == (read ? rms::SingleToText(in.*fields[b]) : ""),
              "an input column is not the field the window read", row);
    }
    require(columns[5] == rms::SingleToText(in.D), "D is not the window's", row);
    const bool warned = fake.record().limited();
    require(columns[6] == (warned ? "yes" : "no"), "the limit is not the window's warning", row);
    for (size_t c = 0; c < rms::kResultSlotFacts.size(); ++c) {
      require(columns[7 + c] == withPoint(fake.text(rms::kResultSlotFacts[c].box)),
              "a result is not the window's text", row);
    }
    const bool failed = calculator.readErrorCount() + calculator.clickErrorCount() > 0;
    require(columns[13].empty() != failed, "the error column does not match the failures", row);
  }

  size_t rows = 0;
};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// A header, told apart from data without the batch's own code: no NUL, and no word that
// begins like a number.
bool looksLikeHeader(std::string_view line) {
  if (line.find('\0') != std::string_view::npos) {
    return false;
  }
  for (size_t i = 0; i < line.size(); ++i) {
    if (i > 0 && std::string_view(" \t,;\"").find(line[i - 1]) == std::string_view::npos) {
      continue;
    }
    std::string_view word = line.substr(i);
    if (word.starts_with('+') || word.starts_with('-')) {
      word.remove_prefix(1);
    }
    if (word.starts_with('.') || word.starts_with(',')) {
      word.remove_prefix(1);
    }
    if (!word.empty() && isDigit(word.front())) {
      return false;
    }
  }
  return true;
}

// The separators of a file, told here without the batch's code: "\t;, " before the first
// record that decides them, then the one of that record (a tab, a semicolon, a comma, else
// blanks, outside quotes).
std::string_view separatorsOf(std::string_view record) {
  bool quoted = false;
  std::string_view found = " ";
  for (size_t i = 0; i < record.size(); ++i) {
    const char c = record[i];
    const bool starts =
        i == 0 || std::string_view(" \t;,").find(record[i - 1]) != std::string_view::npos;
    if (quoted) {
      if (c == '"' && i + 1 < record.size() && record[i + 1] == '"') {
        ++i;
      } else {
        quoted = c != '"';
      }
    } else if (c == '"') {
      quoted = starts;
    } else if (c == '\t') {
      return "\t";
    } else if (c == ';') {
      found = ";";
    } else if (c == ',' && found == " ") {
      found = ",";
    }
  }
  return found;
}

// The records of an input, as a spreadsheet cuts them: a line ends in LF, CR LF or CR, but
// not inside a quoted field. A quote opens one at the start of a field (the start of the
// record, or after the file's separator or, in a file separated by blanks, a blank, with
// blanks between) or right after the quote that closed one, but never in a comment, and
// only within the record's first rms::kMaxLineLength + 1 bytes: past them a quote neither
// opens a field nor holds a line end. Returns the records that are not blank or comments.
std::vector<std::string_view> recordsOf(std::string_view input) {
  if (input.starts_with("\xEF\xBB\xBF")) {
    input.remove_prefix(3);
  }
  std::vector<std::string_view> records;
  std::string_view separators = "\t;, ";
  bool decided = false;
  size_t start = 0;
  bool quoted = false;
  bool atFieldStart = true;  // only blanks since the record or a separator began
  bool justClosed = false;
  bool comment = false;
  bool blankOnly = true;
  auto blank = [&](char c) { return c == ' ' || (c == '\t' && separators != "\t"); };
  auto space = [](char c) { return c == ' ' || c == '\t'; };  // of a blank line
  for (size_t i = 0; i <= input.size(); ++i) {
    const bool end = i == input.size();
    const char c = end ? '\n' : input[i];
    const bool quotesHold = i - start <= rms::kMaxLineLength;
    quoted = quoted && quotesHold;
    if (quoted && !end) {
      quoted = c != '"';
      justClosed = c == '"';
      continue;
    }
    if (c == '\n' || c == '\r') {
      const std::string_view record = input.substr(start, i - start);
      if (!blankOnly && !comment) {
        records.push_back(record);
        if (!decided && record.find('\0') == std::string_view::npos &&
            record.size() <= rms::kMaxLineLength) {
          separators = separatorsOf(record);
          decided = true;
        }
      }
      if (c == '\r' && i + 1 < input.size() && input[i + 1] == '\n') {
        ++i;
      }
      start = i + 1;
      atFieldStart = true;
      justClosed = comment = false;
      blankOnly = true;
      continue;
    }
    if (c == '"' && quotesHold && !comment && (atFieldStart || justClosed)) {
      quoted = true;
      atFieldStart = false;
    } else if (blank(c)) {
      atFieldStart = atFieldStart || separators == " " || separators.size() > 1;
    } else {
      comment = comment || (blankOnly && c == '#');
      atFieldStart = separators.find(c) != std::string_view::npos;
    }
    blankOnly = blankOnly && space(c);
    justClosed = false;
  }
  return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const size_t piece = data[0] < 128 ? size : data[0] - 127u;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  g_input = input;

  rms::TextSource source(input, piece);
  std::ostringstream out;
  std::ostringstream err;
  PressCheck check;
  const int status = rms::RunBatch(source, "standard input", out, err, &check);
  const std::string output = out.str();
  require(err.str().empty(), "a message on standard error", err.str());
  require(output.starts_with(std::string(rms::kBatchHeader) + "\n"), "no header", output);
  require(output.ends_with('\n'), "the output does not end a line", output);

  // The records of the input that must each give a row.
  const std::vector<std::string_view> candidates = recordsOf(input);
  const size_t rows = static_cast<size_t>(std::ranges::count(output, '\n')) - 1;  // less the header
  const bool headerDropped = rows + 1 == candidates.size();
  require(rows == candidates.size() || headerDropped, "rows do not match the lines", output);
  require(candidates.empty() || headerDropped == (candidates[0].size() <= rms::kMaxLineLength &&
                                                  looksLikeHeader(candidates[0])),
          "the first line was taken for a header, or not, wrongly", output);

  bool anyError = false;
  std::string_view body = std::string_view(output).substr(rms::kBatchHeader.size() + 1);
  while (!body.empty()) {
    const size_t nl = body.find('\n');
    const std::vector<std::string> columns = columnsOf(body.substr(0, nl));
    require(columns.size() == 14, "a row without 14 columns", body.substr(0, nl));
    anyError = anyError || !columns[13].empty();
    body.remove_prefix(nl + 1);
  }
  require(status == (anyError ? rms::kBatchRowErrors : rms::kBatchComplete),
          "the exit status does not match the rows");
  require(check.rows <= rows, "more computed rows than rows");
  return 0;
}
