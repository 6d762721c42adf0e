// SPDX-License-Identifier: MIT
#include "window/waveforms_window.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "figure/press_input.h"
#include "figure/qt/paint.h"
#include "figure/svg.h"
#include "runtime/recorder/recorder.h"
#include "window/calculator.h"
#include "window/main_window.h"
#include "window/sketch_data.h"
#include "window/twips_qt.h"

namespace rms {
namespace {

const QString kNote = QStringLiteral("Press Calculate in the main window to draw its waveforms.");

class FigureView : public QWidget {
 public:
  FigureView(const std::optional<Figure>& figure, QWidget* parent)
      : QWidget(parent), figure_(figure) {
    setAccessibleName(QStringLiteral("Waveforms"));
    setAccessibleDescription(kNote);
    setMinimumSize(640, 40);
  }
  void changed() {
    if (figure_) {
      setFixedSize(static_cast<int>(figure_->width), static_cast<int>(figure_->height));
      setAccessibleDescription(QString::fromUtf8(
          figure_->description.data(), static_cast<qsizetype>(figure_->description.size())));
    }
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (figure_) {
      PaintFigure(painter, *figure_);
    } else {
      painter.drawText(rect(), Qt::AlignCenter, kNote);
    }
  }

 private:
  const std::optional<Figure>& figure_;
};

// A sketch's pixels with a little room around its one-pixel lines; the masks are ground.
bool onASketch(QPoint at) {
  constexpr int kReach = 3;
  for (const SketchShape& shape : kShapes) {
    if (shape.kind != ShapeKind::Mask && toPixels(shape.twips).contains(at)) {
      return true;
    }
  }
  // The first line is the separator, not a sketch.
  for (size_t i = 1; i < kLines.size(); ++i) {
    const QLine line = toPixels(kLines[i].twips);
    if (QRect(line.p1(), line.p2())
            .normalized()
            .adjusted(-kReach, -kReach, kReach, kReach)
            .contains(at)) {
      return true;
    }
  }
  return false;
}

class SketchDoubleClick : public QObject {
 public:
  SketchDoubleClick(QWidget& window, WaveformsWindow& waveforms)
      : QObject(&window), window_(window), waveforms_(waveforms) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::MouseButtonDblClick &&
        onASketch(static_cast<QMouseEvent*>(event)->position().toPoint())) {
      waveforms_.open();
      return true;
    }
    return false;
  }

 private:
  QWidget& window_;
  WaveformsWindow& waveforms_;
};

}  // namespace

WaveformsWindow::WaveformsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Waveforms"));
  setAccessibleName(QStringLiteral("Waveforms"));
  setAccessibleDescription(kNote);
  // The main window alone keeps the program running.
  setAttribute(Qt::WA_QuitOnClose, false);
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  save_ = new QPushButton(QStringLiteral("Save SVG…"), this);
  save_->setEnabled(false);
  buttons->addWidget(save_);
  buttons->addStretch();
  layout->addLayout(buttons);
  auto* view = new FigureView(figure_, this);
  view_ = view;
  layout->addWidget(view_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(save_, &QPushButton::clicked, this, [this] { askAndSave(); });
}

void WaveformsWindow::showPress(const FigureInput& input) {
  figure_ = MakeFigure(input);
  setAccessibleDescription(QString::fromUtf8(figure_->description.data(),
                                             static_cast<qsizetype>(figure_->description.size())));
  save_->setEnabled(true);
  static_cast<FigureView*>(view_)->changed();
}

bool WaveformsWindow::saveSvg(const QString& path) const {
  if (!figure_) {
    return false;
  }
  const SvgDocument svg = FigureSvg(*figure_);
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(svg.data(), static_cast<qint64>(svg.size())) ==
             static_cast<qint64>(svg.size()) &&
         file.flush();
}

void WaveformsWindow::open() {
  show();
  raise();
  activateWindow();
}

void WaveformsWindow::askAndSave() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save SVG"),
                                                    QStringLiteral("waveforms.svg"),
                                                    QStringLiteral("SVG images (*.svg)"));
  if (!path.isEmpty() && !saveSvg(path)) {
    QMessageBox::warning(this, QStringLiteral("Save SVG"),
                         QStringLiteral("The figure could not be written to %1.").arg(path));
  }
}

QAction* offerWaveforms(MainWindow& window, WaveformsWindow& waveforms) {
  auto* action = new QAction(QStringLiteral("Waveforms"), &window);
  action->setShortcut(QKeySequence(kWaveformsKey));
  QObject::connect(action, &QAction::triggered, &waveforms, [&waveforms] { waveforms.open(); });
  window.addAction(action);
  window.setContextMenuPolicy(Qt::ActionsContextMenu);
  window.installEventFilter(new SketchDoubleClick(window, waveforms));
  return action;
}

void pressOnCalculate(MainWindow& window, Calculator& calculator, Recorder& recorder,
                      WaveformsWindow& waveforms, char decimalSeparator) {
  QObject::connect(
      window.calculateButton(), &QPushButton::clicked, &waveforms,
      [&calculator, &recorder, &waveforms, decimalSeparator] {
        const bool nested = calculator.pressing();
        const bool endedBefore = calculator.ended();
        const PressRecord& record = recorder.press(calculator);
        if (!nested && !endedBefore && !calculator.ended()) {
          waveforms.showPress(FigureInputOf(record, decimalSeparator, decimalSeparator));
        }
      });
}

}  // namespace rms
