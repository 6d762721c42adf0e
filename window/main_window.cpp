// SPDX-License-Identifier: MIT
#include "window/main_window.h"

#include <algorithm>
#include <limits>
#include <vector>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "window/fonts.h"
#include "window/layout.h"
#include "window/sketches.h"
#include "window/twips_qt.h"

namespace rms {
namespace {

QString qt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Refuses whole any edit that would make the text longer than kMaxInputLength.
class LengthLimit : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return input.size() > kMaxInputLength ? Invalid : Acceptable;
  }
};

Qt::Alignment alignmentOf(const ControlRow& row) {
  switch (row.align) {
    case TextAlign::Left:
      return Qt::AlignLeft | Qt::AlignTop;
    case TextAlign::Centred:
      return Qt::AlignHCenter | Qt::AlignTop;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

QWidget* makeControl(const ControlRow& row, QWidget* window) {
  QWidget* widget = nullptr;
  switch (row.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(qt(row.text), window);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(alignmentOf(row));
      label->setFocusPolicy(Qt::NoFocus);
      widget = label;
      break;
    }
    case ControlKind::TextBox: {
      auto* box = new QLineEdit(qt(row.text), window);
      // Qt's own maxLength would cut a long paste short; the validator of an input box
      // (the single boxes; the Text6 array holds the results) refuses it whole instead.
      box->setMaxLength(std::numeric_limits<int>::max());
      if (row.index == kNoIndex) {
        box->setValidator(new LengthLimit(box));
      }
      box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      box->setAccessibleName(qt(row.partner));
      widget = box;
      break;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(qt(row.text), window);
      // Not the default button: Enter in a box must not calculate.
      button->setAutoDefault(false);
      button->setDefault(false);
      widget = button;
      break;
    }
  }
  if (row.font == FontRole::Legend) {
    widget->setFont(legendFont());
  }
  widget->setObjectName(qt(objectNameOf(row)));
  widget->setGeometry(toPixels(row.rect));
  return widget;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setWindowTitle(qt(kWindowCaption));
  setFont(windowFont());
  setFixedSize(toPixels(kClientWidthTwips), toPixels(kClientHeightTwips));

  // Labels first, so that every box and the button stack above them (a title's last
  // pixel row lies under its result box) and a drawing layer can go in between.
  for (const ControlRow& row : kLayout) {
    if (row.kind == ControlKind::Label) {
      makeControl(row, this);
    }
  }
  std::vector<std::pair<int, QWidget*>> stops;  // tab index, widget
  for (const ControlRow& row : kLayout) {
    if (row.kind != ControlKind::Label) {
      QWidget* widget = makeControl(row, this);
      firstBox_ = firstBox_ ? firstBox_ : widget;
      stops.emplace_back(row.tabIndex, widget);
      if (row.kind == ControlKind::Button) {
        button_ = static_cast<QPushButton*>(widget);
      }
    }
  }

  // The waveform sketches, over the labels and under the boxes.
  addDrawingLayer(new SketchLayer);

  // A caption label names its box for screen readers.
  for (const ControlRow& row : kLayout) {
    if (row.kind == ControlKind::Label && !row.partner.empty()) {
      auto* label = findChild<QLabel*>(qt(objectNameOf(row)), Qt::FindDirectChildrenOnly);
      label->setBuddy(findChild<QLineEdit*>(qt(row.partner), Qt::FindDirectChildrenOnly));
    }
  }

  std::sort(stops.begin(), stops.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 1; i < stops.size(); ++i) {
    setTabOrder(stops[i - 1].second, stops[i].second);
  }
  stops.front().second->setFocus();
}

void MainWindow::addDrawingLayer(QWidget* layer) {
  layer->setParent(this);
  layer->setGeometry(rect());
  layer->setAttribute(Qt::WA_TransparentForMouseEvents);
  layer->setFocusPolicy(Qt::NoFocus);
  layer->stackUnder(firstBox_);
  layer->setVisible(true);
}

}  // namespace rms
