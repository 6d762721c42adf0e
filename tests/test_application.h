// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>

namespace rms {

// The one QApplication of a GUI test program, created before the first widget and never
// destroyed: widgets of the tests and Qt's own statics must not outlive it. Closing a
// window does not end an event loop here; only the program's own end may.
inline QApplication& application() {
  static int argc = 1;
  static char name[] = "korvath-rms-tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* created = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return created;
  }();
  return *app;
}

}  // namespace rms
