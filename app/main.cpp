// SPDX-License-Identifier: MIT
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QLocale>
#include <QPixmap>

#include "app/command_line.h"
#include "app/console.h"
#include "rms/identity.h"
#include "runtime/qt/decimal_separator.h"
#include "runtime/qt/qt_services.h"
#include "runtime/qt/startup.h"
#include "runtime/recorder/recorder.h"
#include "window/calculator.h"
#include "window/main_window.h"
#include "window/waveforms_window.h"

namespace {

// The program's icon from the resources linked into the executable; a null icon when
// they are missing, which leaves the window engine's default in place.
QIcon programIcon() {
  QIcon icon;
  for (const char* path : {":/icons/korvath-rms-32.png", ":/icons/korvath-rms-16.png"}) {
    // Read as PNG outright: letting Qt guess the format loads every image plugin.
    QImageReader reader(QString::fromLatin1(path), "png");
    reader.setAutoDetectImageFormat(false);
    if (const QImage image = reader.read(); !image.isNull()) {
      icon.addPixmap(QPixmap::fromImage(image));
    }
  }
  return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Before any application object: the command line must not need a display.
  if (const rms::ProgramArguments arguments(argc, argv); rms::wantsCommandLine(arguments.all())) {
    return rms::runCommandLine(arguments.all());
  }
  if (auto problem =
          rms::displayProblem(std::getenv, std::span(argv, argc), RMS_DEFAULT_PLATFORM)) {
    std::fprintf(stderr, "%s\n", problem->c_str());
    return 1;
  }
  std::optional<rms::StartupGuard> guard(std::in_place);
  QApplication app(argc, argv);
  guard.reset();
  QApplication::setApplicationVersion(QStringLiteral(RMS_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral(RMS_PROGRAM));
  if (const QIcon icon = programIcon(); !icon.isNull()) {
    QApplication::setWindowIcon(icon);
  }

  rms::MainWindow window;
  rms::QtServices services(window);
  // The desktop's locale is read once, here: numbers in the boxes follow its separator.
  const char separator = rms::decimalSeparatorOf(QLocale::system());
  // The press is recorded on its way to the window, and its record gives the Waveforms
  // window its figure.
  rms::Recorder recorder(services);
  rms::Calculator calculator(recorder, separator, &recorder);
  rms::WaveformsWindow waveforms;
  rms::offerWaveforms(window, waveforms);
  rms::pressOnCalculate(window, calculator, recorder, waveforms, separator);
  window.show();
  return app.exec();
}
