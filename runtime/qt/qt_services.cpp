// SPDX-License-Identifier: MIT
#include "runtime/qt/qt_services.h"

#include <stdexcept>
#include <string>

#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

namespace rms {
namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon iconOf(MessageStyle style) {
  switch (style) {
    case MessageStyle::Critical:
      return QMessageBox::Critical;
    case MessageStyle::Information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

void runModal(QMessageBox& box) {
  box.exec();
}

}  // namespace

QtServices::QtServices(QWidget& window) : window_(window), presenter_(runModal) {
  for (size_t i = 0; i < kBoxes; ++i) {
    const std::string_view name = boxName(static_cast<TextBox>(i));
    boxes_[i] = window.findChild<QLineEdit*>(fromUtf8(name));
    if (boxes_[i] == nullptr) {
      throw std::invalid_argument("the window has no text box named " + std::string(name));
    }
  }
}

std::string QtServices::text(TextBox box) const {
  return boxes_[static_cast<size_t>(box)]->text().toStdString();
}

void QtServices::setText(TextBox box, std::string_view text) {
  boxes_[static_cast<size_t>(box)]->setText(fromUtf8(text));
}

void QtServices::showMessage(std::string_view prompt, MessageStyle style, std::string_view title) {
  QMessageBox box(iconOf(style), fromUtf8(title), fromUtf8(prompt), QMessageBox::Ok, &window_);
  box.setTextFormat(Qt::PlainText);
  presenter_(box);
}

void QtServices::endProgram() {
  window_.close();
  window_.hide();  // even if something refused the close
  // Leaves the running event loop, and any modal loop inside it. With no loop running
  // there is nothing to leave, and telling Qt to exit anyway would make the next modal
  // loop return at once.
  if (QThread::currentThread()->loopLevel() > 0) {
    QCoreApplication::exit(0);
  }
}

void QtServices::setPresenter(Presenter presenter) {
  presenter_ = presenter ? std::move(presenter) : Presenter(runModal);
}

}  // namespace rms
