// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <cstdio>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include "app/console.h"
#include "batch/batch.h"

namespace rms {
namespace {

// What QGuiApplication and QApplication take from the command line for themselves.
struct EngineOption {
  std::string_view name;
  bool takesValue;
};
constexpr EngineOption kEngineOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"session", true},
    {"display", true},         {"geometry", true},
    {"style", true},           {"stylesheet", true},
    {"qmljsdebugger", true},   {"reverse", false},
    {"widgetcount", false},    {"nograb", false},
    {"dograb", false},
};

constexpr int kUsageError = 2;

// The number of arguments an engine option at arguments[i] takes up: 1 or 2, or 0 when
// arguments[i] is not one.
size_t engineOptionLength(std::span<char* const> arguments, size_t i) {
  std::string_view argument = arguments[i];
  if (!argument.starts_with('-')) {
    return 0;
  }
  argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
  const size_t equals = argument.find('=');
  const std::string_view name = argument.substr(0, equals);
  if (name.starts_with("psn_")) {
    return 1;  // the process serial number that macOS's Finder may pass to an application
  }
  for (const EngineOption& option : kEngineOptions) {
    if (option.name != name) {
      continue;
    }
    if (equals != std::string_view::npos) {
      return option.takesValue ? 1 : 0;
    }
    if (!option.takesValue) {
      return 1;
    }
    return i + 1 < arguments.size() ? 2 : 0;
  }
  return 0;
}

int usageError(QString problem) {
  if (problem.endsWith(QLatin1Char('.'))) {
    problem.chop(1);
  }
  std::fprintf(stderr, "korvath-rms: %s. Try 'korvath-rms --help'.\n", qPrintable(problem));
  return kUsageError;
}

}  // namespace

std::vector<char*> ownArguments(std::span<char* const> arguments) {
  std::vector<char*> own;
  for (size_t i = 1; i < arguments.size();) {
    const size_t length = engineOptionLength(arguments, i);
    if (length == 0) {
      own.push_back(arguments[i]);
      ++i;
    }
    i += length;
  }
  return own;
}

bool wantsCommandLine(std::span<char* const> arguments) {
  return !ownArguments(arguments).empty();
}

int runCommandLine(int argc, char* argv[]) {
  prepareConsoleStreams();
  // The application sees the program's own arguments under its plain name, which the help
  // shows in its usage line. The window engine's options mean nothing here and are passed
  // over, not refused.
  char name[] = "korvath-rms";
  std::vector<char*> arguments{name};
  for (char* argument : ownArguments(std::span(argv, argc))) {
    arguments.push_back(argument);
  }
  int count = static_cast<int>(arguments.size());
  arguments.push_back(nullptr);
  QCoreApplication app(count, arguments.data());
  QCoreApplication::setApplicationName(QStringLiteral("korvath-rms"));
  QCoreApplication::setApplicationVersion(QStringLiteral(RMS_VERSION));

  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral(
      "RMS currents of six waveform shapes. Without options, opens the calculator window.\n"
      "\n"
      "--batch reads one operating point a line: t, T, Ip, Ia and Ib, separated by commas,\n"
      "semicolons, tabs or blanks; blank lines and lines starting with # are skipped, and so\n"
      "is a first line without a number. It writes CSV: the inputs as read, D, whether the\n"
      "duty limit applied, the six RMS currents and the reasons for any that failed.\n"
      "Exit status: 0 when every row computed in full, 1 when a row carries an error,\n"
      "2 for a usage error or an input that cannot be read."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and exit."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Show the version and exit."));
  const QCommandLineOption batch(
      QStringLiteral("batch"),
      QStringLiteral("Calculate the operating points in FILE (standard input when FILE is - or "
                     "absent) and write CSV to standard output."));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(batch);
  parser.addPositionalArgument(QStringLiteral("FILE"),
                               QStringLiteral("Input of --batch; - is standard input."),
                               QStringLiteral("[FILE]"));

  if (!parser.parse(QCoreApplication::arguments())) {
    return usageError(parser.errorText());
  }
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("korvath-rms %s\n", RMS_VERSION);
    return 0;
  }
  const QStringList files = parser.positionalArguments();
  if (!parser.isSet(batch)) {
    return usageError(files.isEmpty() ? QStringLiteral("nothing to do")
                                      : QStringLiteral("'%1' needs --batch").arg(files.first()));
  }
  if (files.size() > 1) {
    return usageError(QStringLiteral("--batch takes one FILE, not %1").arg(files.size()));
  }
  const QByteArray file = files.isEmpty() ? QByteArray("-") : files.first().toLocal8Bit();
  return RunBatchFile(std::string_view(file.constData(), static_cast<size_t>(file.size())));
}

}  // namespace rms
