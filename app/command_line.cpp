// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include "app/console.h"
#include "batch/batch.h"
#include "batch/messages.h"
#include "batch/reader.h"
#include "figure/press_input.h"
#include "figure/svg.h"
#include "rms/identity.h"
#include "runtime/qt/engine_options.h"

namespace rms {
namespace {

constexpr int kUsageError = 2;

// The whole of --help: the program's own text, which needs nothing of Qt's.
constexpr std::string_view kHelp =
    "Usage: " RMS_PROGRAM
    " [options] [FILE]\n"
    "RMS currents of six waveform shapes. Without options, opens the calculator window.\n"
    "\n"
    "--batch reads one operating point a line: t, T, Ip, Ia and Ib. A file has one\n"
    "separator, taken from its first line: a tab, else a semicolon, else a comma, else\n"
    "blanks; in a tab- or semicolon-separated file a comma is the decimal mark (0,5).\n"
    "Fields may be quoted as in CSV. Blank lines and lines starting with # are skipped,\n"
    "and so is a first line in which no word starts like a number (a header). Every\n"
    "other line gives one row of CSV: the inputs as read, D, whether the duty limit\n"
    "applied, the six RMS currents (with '.') and the failures of that press.\n"
    "Exit status: 0 when every row computed in full, 1 when a row carries an error,\n"
    "2 for a usage error, an input that cannot be read or an output that cannot be\n"
    "written.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "  --batch        Calculate the operating points in FILE (standard input when\n"
    "                 FILE is - or absent) and write CSV to standard output.\n"
    "  --plot t T Ip Ia Ib\n"
    "                 Calculate one operating point, read as a --batch row, and write\n"
    "                 its six waveforms to scale as SVG to standard output; -- before\n"
    "                 the numbers allows a negative t. Exit status as for --batch.\n"
    "\n"
    "Arguments:\n"
    "  FILE           Input of --batch; - is standard input.\n";
constexpr size_t kPlotFields = 5;
constexpr std::string_view kEndOfOptions = "--";

// A problem as it is told; its parts come quoted and cut as messages.h says.
int usageError(std::string_view problem) {
  if (problem.ends_with('.')) {
    problem.remove_suffix(1);
  }
  std::fprintf(stderr, RMS_PROGRAM ": %.*s. Try '" RMS_PROGRAM " --help'.\n",
               static_cast<int>(problem.size()), problem.data());
  return kUsageError;
}

// The parser's complaint, with an unknown option named as it was typed: the parser names
// it without its dashes ('x' for -x, '-' for ---).
std::string parseProblem(const QCommandLineParser& parser, std::span<char* const> own) {
  const QStringList unknown = parser.unknownOptionNames();
  if (!unknown.isEmpty()) {
    const std::string name = unknown.front().toStdString();
    for (std::string_view argument : own) {
      if (argument == kEndOfOptions) {
        break;
      }
      std::string_view bare = argument.substr(0, argument.find('='));
      bare.remove_prefix(bare.starts_with("--") ? 2 : bare.starts_with('-') ? 1 : 0);
      if (argument.starts_with('-') && bare == name) {
        return "Unknown option " + quotedForMessage(argument.substr(0, argument.find('=')));
      }
    }
  }
  constexpr size_t kReadable = 160;
  return cutForMessage(parser.errorText().toStdString(), kReadable);
}

// --help and --version end here: what they printed must have reached standard output.
int outputWritten() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fprintf(stderr, RMS_PROGRAM ": cannot write the output: %s\n", std::strerror(errno));
    return kUsageError;
  }
  return 0;
}

int streamClosed(const char* stream) {
  std::fprintf(stderr, RMS_PROGRAM ": standard %s is closed\n", stream);
  return kUsageError;
}

// --plot: the five texts as one row's fields, pressed, drawn; a failure of the press is the
// figure's to tell, and makes the status 1 as it makes a row's.
int plot(const QStringList& texts) {
  if (texts.size() != kPlotFields) {
    return usageError("--plot takes five numbers (t T Ip Ia Ib), not " +
                      std::to_string(texts.size()));
  }
  std::string line;
  for (const QString& text : texts) {
    line += (line.empty() ? "" : "\t") + text.toStdString();
  }
  PointFields fields;
  if (const std::string why = splitPoint(line, Separator::Tab, fields); !why.empty()) {
    return usageError("--plot: " + why);
  }
  Recorder recorder;
  const char mark = decimalMarkOf(Separator::Tab);
  const PressRecord& press = PressPoint(recorder, fields.point(), mark);
  const SvgDocument svg = FigureSvg(MakeFigure(FigureInputOf(press, mark, '.')));
  std::fwrite(svg.data(), 1, svg.size(), stdout);
  const int written = outputWritten();
  return written != 0 ? written : press.failures.empty() ? kBatchComplete : kBatchRowErrors;
}

}  // namespace

std::vector<char*> ownArguments(std::span<char* const> arguments) {
  return readEngineArguments(arguments).own;
}

bool wantsCommandLine(std::span<char* const> arguments) {
  return !ownArguments(arguments).empty();
}

int runCommandLine(std::span<char* const> arguments) {
  prepareConsoleStreams();
  // Before anything opens descriptors of its own.
  const ClosedStreams closed = reserveClosedStreams();
  if (closed.output) {
    return streamClosed("output");
  }
  // The window engine's options mean nothing here and are passed over, not refused; an
  // engine option is one of the program's own arguments only when its value is missing.
  const std::vector<char*> own = ownArguments(arguments);
  for (std::string_view argument : own) {
    if (argument == kEndOfOptions) {
      break;
    }
    if (lacksEngineValue(argument)) {
      return usageError("option '" + std::string(argument) + "' needs a value");
    }
  }
  // FILE as its bytes were given: the first argument that is not an option, or the one
  // after "--". (The program's own options take no values.)
  std::optional<std::string_view> file;
  for (size_t i = 0; i < own.size() && !file; ++i) {
    const std::string_view argument = own[i];
    if (argument == kEndOfOptions) {
      if (i + 1 < own.size()) {
        file = own[i + 1];
      }
    } else if (!argument.starts_with('-') || argument == "-") {
      file = argument;
    }
  }

  // The parser needs no application object, and none is made: from Qt 6.8 on, one made in
  // a locale that is not UTF-8 (LC_ALL=C) warns on standard error, which a script would
  // read on every call. The parser's first argument stands for the program.
  QStringList texts{QStringLiteral(RMS_PROGRAM)};
  for (std::string_view argument : own) {
    texts.append(QString::fromUtf8(argument.data(), static_cast<qsizetype>(argument.size())));
  }
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  const QCommandLineOption batch(QStringLiteral("batch"));
  parser.addOption(help);
  parser.addOption(version);
  const QCommandLineOption plotOption(QStringLiteral("plot"));
  parser.addOption(batch);
  parser.addOption(plotOption);

  if (!parser.parse(texts)) {
    return usageError(parseProblem(parser, own));
  }
  if (parser.isSet(help)) {
    std::fwrite(kHelp.data(), 1, kHelp.size(), stdout);
    return outputWritten();
  }
  if (parser.isSet(version)) {
    std::fputs(RMS_PROGRAM " " RMS_VERSION "\n", stdout);
    return outputWritten();
  }
  const QStringList files = parser.positionalArguments();
  if (parser.isSet(plotOption) && !parser.isSet(batch)) {
    return plot(files);
  }
  if (!parser.isSet(batch)) {
    return usageError(file ? quotedFileName(*file) + " needs --batch" : "nothing to do");
  }
  if (files.size() > 1) {
    return usageError("--batch takes one FILE, not " + std::to_string(files.size()));
  }
  const std::string_view path = file.value_or("-");
  if (path == "-" && closed.input) {
    return streamClosed("input");
  }
  return RunBatchFile(path, closed.input);
}

}  // namespace rms
