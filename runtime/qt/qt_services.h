// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <functional>

#include "runtime/services.h"

class QLineEdit;
class QMessageBox;
class QWidget;

namespace rms {

// The services on a real Qt window: boxes are the window's QLineEdit children named
// after their layout names, messages are modal QMessageBoxes over the window, and the
// end of the program closes the window and leaves the event loop.
class QtServices : public Services {
 public:
  // Finds every box among the window's children; throws std::invalid_argument naming
  // the first one that is missing. The window must outlive the services.
  explicit QtServices(QWidget& window);

  std::string text(TextBox box) const override;
  void setText(TextBox box, std::string_view text) override;
  void showMessage(std::string_view prompt, MessageStyle style, std::string_view title) override;
  void endProgram() override;

  // How a prepared message box is put in front of the user. By default it runs modal
  // (exec) and returns when dismissed; tests may look at the box and return at once.
  using Presenter = std::function<void(QMessageBox&)>;
  void setPresenter(Presenter presenter);

 private:
  static constexpr size_t kBoxes = static_cast<size_t>(TextBox::Text6_6) + 1;

  QWidget& window_;
  std::array<QLineEdit*, kBoxes> boxes_{};
  Presenter presenter_;
};

}  // namespace rms
