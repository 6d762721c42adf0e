// SPDX-License-Identifier: MIT
// The yardstick for the calculator's start-up: the least a Qt Widgets program with a text
// box and a button costs, in a window of the calculator's size (693 by 375 pixels), so that
// both pay for the same window surface. The box shows a number, as the calculator's do:
// a text to lay out makes Qt load the default font before the window is shown rather than
// when it is first painted.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare Qt window"));
  window.setFixedSize(693, 375);
  QLineEdit box(QStringLiteral("0.5"), &window);
  box.setGeometry(200, 336, 57, 19);
  QPushButton button(QStringLiteral("Calculate"), &window);
  button.setGeometry(512, 312, 97, 25);
  window.show();
  return app.exec();
}
