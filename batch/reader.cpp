// SPDX-License-Identifier: MIT
#include "batch/reader.h"

#include <utility>

namespace rms {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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
      }
      return {};
    }
  }
}

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

std::string splitPoint(std::string_view line, Separator separator, PointFields& fields) {
  size_t count = 0;
  std::string why = splitFields(line, separator, fields.texts, fields.unquoted, count);
  if (!why.empty()) {
    return why;
  }
  // One separator after the last field is how spreadsheets often end a row.
  if (count == 6 && fields.texts[5].empty()) {
    count = 5;
  }
  if (count != 5) {
    return "expected 5 numbers, found " + std::to_string(count);
  }
  return {};
}

Reader::Line Reader::line(std::string_view text, bool tooLong) {
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
    return Line::Skipped;  // blank, or a comment
  }
  if (tooLong || text.size() > kMaxLineLength) {
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
  return why_.empty() ? Line::Point : Line::Error;
}

Reader::Line Reader::fail(std::string why) {
  why_ = std::move(why);
  headerPossible_ = false;
  return Line::Error;
}

}  // namespace rms
