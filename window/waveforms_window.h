// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

#include <QWidget>

#include "figure/figure.h"

class QAction;
class QPushButton;

namespace rms {

class Calculator;
class MainWindow;
class Recorder;

// A second top-level window, "Waveforms": the figure of the last press, painted with
// QPainter (figure/qt), and a button that saves it as the SVG that --plot writes. Before
// the first press it shows a one-line note instead. It runs no press of its own: whoever
// presses hands it the press's FigureInput.
class WaveformsWindow : public QWidget {
 public:
  explicit WaveformsWindow(QWidget* parent = nullptr);

  // Draws the figure of this press, in place of the last one.
  void showPress(const FigureInput& input);
  const std::optional<Figure>& figure() const { return figure_; }
  QWidget* view() const { return view_; }
  QPushButton* saveButton() const { return save_; }

  // Writes FigureSvg of the figure to `path`; false when there is no figure or the file
  // cannot be written.
  bool saveSvg(const QString& path) const;
  // Shows the window, or brings it to the front.
  void open();

 private:
  void askAndSave();

  std::optional<Figure> figure_;
  QWidget* view_ = nullptr;
  QPushButton* save_ = nullptr;
};

// F7: a plain function key that no standard key of Qt or the common desktops claims
// (Ctrl+W and Ctrl+Shift+W close windows and tabs).
inline constexpr Qt::Key kWaveformsKey = Qt::Key_F7;

// Lets the user find `waveforms` from `window`: the action "Waveforms" with kWaveformsKey
// in the window's background context menu (the boxes keep their own), and a double-click
// on any sketch. Returns the action, owned by the window.
QAction* offerWaveforms(MainWindow& window, WaveformsWindow& waveforms);

// The program's Calculate: each click of the window's button is one press of `calculator`
// through `recorder` (over the window's services), whose record gives `waveforms` its
// figure, the result boxes' texts in the desktop's `decimalSeparator`. A press that does
// nothing (the program has ended, or a press is already running) leaves the figure as it is.
void pressOnCalculate(MainWindow& window, Calculator& calculator, Recorder& recorder,
                      WaveformsWindow& waveforms, char decimalSeparator);

}  // namespace rms
