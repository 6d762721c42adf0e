// SPDX-License-Identifier: MIT
#include "batch/reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace rms {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUnclosedQuote = "a quoted field without its closing quote";

bool isSpace(char c) {
  return c == ' ';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
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
// is a view of the line, or of `unquoted` when quotes had to be taken off; `trailing` says
// that the last, empty, was only a separator at the end. An empty result means the line
// split; otherwise it is the reason for an error row.
std::string splitFields(std::string_view line, Separator separator,
                        std::array<std::string_view, 6>& fields,
                        std::array<std::string, 6>& unquoted, size_t& count, bool& trailing) {
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
  trailing = false;
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
          return std::string(kUnclosedQuote);
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
      // In a file separated by blanks, the blank after the quote is the separator itself.
      if (separator != Separator::Blanks || i == n || !isSpace(line[i])) {
        while (i < n && isSpace(line[i])) {
          ++i;
        }
        if (i < n && line[i] != own) {
          if (isForeign(line[i])) {
            return foreignSeparator(line[i], separator);
          }
          return "text after a closing quote";
        }
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
        trailing = true;
      }
      return {};
    }
  }
}

}  // namespace

Separator separatorOf(std::string_view line) {
  bool quoted = false;
  bool fieldStart = true;
  bool semicolon = false;
  bool comma = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          ++i;  // a quote inside quotes
        } else {
          quoted = false;
        }
      }
      continue;
    }
    switch (c) {
      case '\t':
        return Separator::Tab;
      case ' ':
        fieldStart = true;
        break;
      case '"':
        quoted = fieldStart;
        fieldStart = false;
        break;
      default:
        semicolon = semicolon || c == ';';
        comma = comma || c == ',';
        fieldStart = c == ';' || c == ',';
        break;
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

std::string splitPoint(std::string_view line, Separator separator, PointFields& fields) {
  size_t count = 0;
  bool trailing = false;
  std::string why = splitFields(line, separator, fields.texts, fields.unquoted, count, trailing);
  if (!why.empty()) {
    return why;
  }
  // One separator after the last field is how spreadsheets often end a row; a sixth field
  // written as "" is a field.
  if (count == 6 && trailing) {
    count = 5;
  }
  if (count != 5) {
    return "expected 5 numbers, found " + std::to_string(count);
  }
  return {};
}

void Reader::input(std::string_view data) {
  // A byte-order mark may arrive a byte at a time.
  while (!byteOrderMarkDone_ && !data.empty()) {
    if (data.front() == kByteOrderMark[byteOrderMarkSeen_]) {
      data.remove_prefix(1);
      byteOrderMarkDone_ = ++byteOrderMarkSeen_ == kByteOrderMark.size();
    } else {
      byteOrderMarkDone_ = true;
      partial_.assign(kByteOrderMark.substr(0, byteOrderMarkSeen_));
    }
  }
  data_ = data;
  nextLF_ = nextCR_ = nextQuote_ = nullptr;
}

// The first `c` at or after `from` in the input, or its end: `cached` keeps the last
// answer, which holds while the reading has not passed it, so that a file without CRs or
// quotes is searched for them once an input, not once a line, and a line of many quotes
// for its end once, not once a quote.
const char* Reader::nextOf(char c, const char*& cached, const char* from) const {
  if (cached == nullptr || cached < from) {
    const char* end = data_.data() + data_.size();
    const void* found = std::memchr(from, c, static_cast<size_t>(end - from));
    cached = found != nullptr ? static_cast<const char*>(found) : end;
  }
  return cached;
}

std::optional<Reader::Line> Reader::next() {
  if (std::exchange(recordDone_, false)) {
    partial_.clear();
    tooLong_ = false;
    recordQuoted_ = false;
    quoteClosedAt_ = std::string_view::npos;
    leadingBlanks_ = 0;
    leadingEnded_ = false;
    recordIsComment_ = false;
  }
  if (afterCR_ && !data_.empty()) {
    afterCR_ = false;
    if (data_.front() == '\n') {
      data_.remove_prefix(1);  // CR LF is one line end
    }
  }
  if (data_.empty()) {
    if (!ended_) {
      return std::nullopt;
    }
    if (!byteOrderMarkDone_) {
      byteOrderMarkDone_ = true;
      partial_.assign(kByteOrderMark.substr(0, byteOrderMarkSeen_));
    }
    if (partial_.empty() && !tooLong_) {
      return std::nullopt;
    }
    recordDone_ = true;
    return line(partial_, tooLong_);
  }
  const size_t end = recordEnd();
  if (end == std::string_view::npos) {
    keep(data_);
    data_ = {};
    return next();
  }
  std::string_view record = data_.substr(0, end);
  if (!partial_.empty() || tooLong_ || end > kMaxLineLength) {
    keep(record);
    record = partial_;
  }
  afterCR_ = data_[end] == '\r';
  data_.remove_prefix(end + 1);
  recordDone_ = true;
  return line(record, tooLong_);
}

// Where in data_ the record ends: at its line end, or npos when data_ ends first. Follows
// the quotes on the way, across inputs.
size_t Reader::recordEnd() {
  const size_t n = data_.size();
  const size_t quoting = tooLong_ ? 0 : std::min(n, kMaxLineLength + 1 - partial_.size());
  size_t i = 0;
  while (true) {
    if (inQuotes_) {
      const size_t quote = data_.substr(0, quoting).find('"', i);
      if (quote != std::string_view::npos) {
        inQuotes_ = false;
        quoteClosedAt_ = partial_.size() + quote;
        i = quote + 1;
        continue;
      }
      if (quoting == n) {
        return std::string_view::npos;
      }
      inQuotes_ = false;  // past the limit, quotes no longer hold a line end
      i = std::max(i, quoting);
    }
    const char* const at = data_.data();
    const size_t end = static_cast<size_t>(
        std::min(nextOf('\n', nextLF_, at + i), nextOf('\r', nextCR_, at + i)) - at);
    const size_t quote = static_cast<size_t>(nextOf('"', nextQuote_, at + i) - at);
    if (quote >= std::min(end, quoting)) {
      return end == n ? std::string_view::npos : end;
    }
    inQuotes_ = opensField(quote);
    recordQuoted_ = recordQuoted_ || inQuotes_;
    i = quote + 1;
    // A quote right after one that opened nothing (and closed nothing) stands inside a word:
    // it opens nothing either.
    while (!inQuotes_ && i < std::min(end, quoting) && data_[i] == '"') {
      ++i;
    }
  }
}

// Whether the quote at data_[quote] opens a quoted field, by the record before it: it
// does at the start of a field, or right after the quote that closed one ("" inside
// quotes), but not inside a word or a comment. The rule of separatorOf, and of
// splitPoint once the separator is known.
//
// Each call looks back only over the blanks before its quote, which end at the quote
// before, and the record's first byte is found once: a line of many quotes reads in time
// proportional to its length.
bool Reader::opensField(size_t quote) {
  const std::string_view before = data_.substr(0, quote);
  const size_t length = partial_.size() + before.size();
  auto at = [&](size_t k) {
    return k < partial_.size() ? partial_[k] : before[k - partial_.size()];
  };
  if (length > 0 && length - 1 == quoteClosedAt_) {
    return true;
  }
  const bool tabIsBlank = !separatorKnown_ || separator_ != Separator::Tab;
  auto blank = [&](char c) { return c == ' ' || (tabIsBlank && c == '\t'); };
  size_t k = length;
  while (k > 0 && blank(at(k - 1))) {
    --k;
  }
  if (k == 0) {
    return true;
  }
  // In a file separated by tabs, only tabs and blanks may stand before the quote: that is
  // no comment.
  while (!leadingEnded_ && leadingBlanks_ < length) {
    const char b = at(leadingBlanks_);
    leadingEnded_ = b != ' ' && b != '\t';
    recordIsComment_ = b == '#';
    leadingBlanks_ += leadingEnded_ ? 0 : 1;
  }
  if (recordIsComment_) {
    return false;
  }
  const char c = at(k - 1);
  const bool afterBlank = k < length;
  if (!separatorKnown_) {
    return afterBlank || c == '\t' || c == ';' || c == ',';
  }
  if (separator_ == Separator::Blanks) {
    return afterBlank;
  }
  return c == rowOf(separator_).own;
}

// Adds a piece of the record to partial_, keeping no more than tells a blank line or a
// comment from a line too long.
void Reader::keep(std::string_view piece) {
  if (!tooLong_ && partial_.size() + piece.size() <= kMaxLineLength) {
    partial_.append(piece);
    return;
  }
  if (!std::exchange(tooLong_, true)) {
    const size_t first = partial_.find_first_not_of(" \t");
    const char kept = first == std::string::npos ? '\0' : partial_[first];
    partial_.assign(first == std::string::npos ? 0 : 1, kept);
  }
  if (partial_.empty()) {
    if (const size_t first = piece.find_first_not_of(" \t"); first != std::string_view::npos) {
      partial_.assign(1, piece[first]);
    }
  }
}

Reader::Line Reader::line(std::string_view text, bool tooLong) {
  size_t begin = 0;
  while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t')) {
    ++begin;
  }
  if (begin == text.size() || text[begin] == '#') {
    return Line::Skipped;  // blank, or a comment, however long
  }
  if (tooLong) {
    return fail("line longer than 1 MiB");
  }
  if (text.find('\0') != std::string_view::npos) {
    return fail("a NUL byte: not UTF-8 text (UTF-16?)");
  }
  if (!std::exchange(separatorKnown_, true)) {
    separator_ = separatorOf(text);
    if (std::exchange(headerPossible_, false) && isHeader(text)) {
      return Line::Skipped;
    }
  }
  // Blanks around a line go, and so do tabs, except where a tab separates fields.
  const bool tabs = separator_ != Separator::Tab;
  auto blank = [tabs](char c) { return c == ' ' || (tabs && c == '\t'); };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  why_ = splitPoint(text, separator_, fields_);
  // Only a quoted field holds a line end; an unclosed quote is the better reason.
  if (recordQuoted_ && text.find_first_of("\r\n") != std::string_view::npos &&
      why_ != kUnclosedQuote) {
    return fail("a line break in a quoted field");
  }
  return why_.empty() ? Line::Point : Line::Error;
}

Reader::Line Reader::fail(std::string why) {
  why_ = std::move(why);
  headerPossible_ = false;
  return Line::Error;
}

}  // namespace rms
