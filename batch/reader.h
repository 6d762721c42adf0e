// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rms {

// The batch's reading of its input, line by line: which lines are operating points, how the
// file separates its fields and writes its decimal mark, and the five texts of each point.
// It computes nothing; batch.cpp presses each point into its row.
//
// The reading of a file is decided once, from its first line: its separator (a tab, else
// a semicolon, else a comma, else blanks), and with it the decimal mark: in a tab- or
// semicolon-separated file a comma is the decimal mark, as a comma-locale spreadsheet
// writes it.

// A line longer than this (without its line end) becomes an error row, unless it is blank
// or a comment, which are skipped whatever their length.
inline constexpr size_t kMaxLineLength = size_t{1} << 20;

// How the fields of a file are separated.
enum class Separator { Tab, Semicolon, Comma, Blanks };

// The separator of a file whose first line is `line`: a tab, else a semicolon, else a
// comma, else blanks, looking only outside quoted fields. A quote opens a field only where
// a field begins (at the start, or after a blank or one of these separators); inside a
// word it is a letter, such as the inch mark of `Ip"`.
Separator separatorOf(std::string_view line);

// The decimal mark of the numbers in a file with that separator.
char decimalMarkOf(Separator separator);

// True when `line` (the first that is not blank or a comment) is a header: it holds no
// NUL and no word of it begins like a number (a digit, or a sign or point before one).
bool isHeader(std::string_view line);

// The five texts of one operating point. They are views of the line, or of `unquoted`
// where quotes had to be taken off.
struct PointFields {
  std::array<std::string_view, 6> texts;  // a sixth, empty, after a trailing separator
  std::array<std::string, 6> unquoted;
  std::span<const std::string_view, 5> point() const {
    return std::span<const std::string_view, 5>(texts.data(), 5);
  }
};

// Splits `line` of a file with `separator` into the five fields of a point. An empty
// result means it did; otherwise it is the reason for the line's error row.
std::string splitPoint(std::string_view line, Separator separator, PointFields& fields);

// What becomes of each line of an input, in order: skipped (blank, a comment, the header),
// an error row, or one operating point.
//
// A line ends in LF, CR LF or a CR alone (a Mac spreadsheet's "CSV (Macintosh)"). As in
// RFC 4180, a line end inside a quoted field belongs to the field, so a record spanning
// lines gives one row (an error, since no number holds a line end) or is the header. Past
// kMaxLineLength a record ends at its next line end even inside quotes: a stray quote
// takes no more than that with it. Memory stays within that length.
class Reader {
 public:
  enum class Line { Skipped, Error, Point };

  // The next bytes of the input, which stay valid until next() returns nothing.
  void input(std::string_view data);
  // After the last input: the last line needs no line end.
  void endOfInput() { ended_ = true; }
  // What the next complete line of the input gives, or nothing until more input comes. Its
  // why() and fields() hold until the next call.
  std::optional<Line> next();

  // Of the last line: the reason of an error row, or the fields of a point.
  const std::string& why() const { return why_; }
  const PointFields& fields() const { return fields_; }
  // Of the file, once a line has decided them.
  char decimalMark() const { return decimalMarkOf(separator_); }

 private:
  Line line(std::string_view text, bool tooLong);
  Line fail(std::string why);
  size_t recordEnd();
  const char* nextOf(char c, const char*& cached, const char* from) const;
  bool opensField(size_t quote);
  void keep(std::string_view piece);

  // The record being read: partial_ holds what earlier inputs gave of it, or, once it is
  // longer than kMaxLineLength, only its first byte that is not blank.
  std::string_view data_;
  std::string partial_;
  const char* nextLF_ = nullptr;  // in data_, as nextOf keeps them
  const char* nextCR_ = nullptr;
  const char* nextQuote_ = nullptr;
  size_t quoteClosedAt_ = std::string_view::npos;  // in the record, for "" inside quotes
  size_t byteOrderMarkSeen_ = 0;
  bool tooLong_ = false;
  bool inQuotes_ = false;
  bool recordQuoted_ = false;  // a quoted field opened in the record
  // How many of the record's first bytes are blanks or tabs, as far as opensField has
  // looked; once a byte that is neither ends them, whether it begins a comment.
  size_t leadingBlanks_ = 0;
  bool leadingEnded_ = false;
  bool recordIsComment_ = false;
  bool afterCR_ = false;
  bool recordDone_ = false;
  bool ended_ = false;
  bool byteOrderMarkDone_ = false;

  PointFields fields_;
  std::string why_;
  Separator separator_ = Separator::Blanks;
  bool separatorKnown_ = false;
  bool headerPossible_ = true;
};

}  // namespace rms
