// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "window/input_limit.h"

class QPushButton;

namespace rms {

// The calculator's one window, built from kLayout: fixed size, every control at its
// designed place, the tab order of the layout and the focus in the period box P.
// Widgets are named after their layout names so the services can find the boxes.
// The window runs no code of its own; whoever owns it connects the Calculate button.
class MainWindow : public QWidget {
 public:
  explicit MainWindow(QWidget* parent = nullptr);

  QPushButton* calculateButton() const { return button_; }

  // Adds a transparent drawing over the whole client area: above every label, below
  // every box and the button, and never in the way of the mouse. The window owns it.
  void addDrawingLayer(QWidget* layer);

 private:
  QWidget* firstBox_ = nullptr;  // the lowest of the boxes and the button
  QPushButton* button_ = nullptr;
};

}  // namespace rms
