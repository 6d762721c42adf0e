// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "runtime/services.h"

namespace rms {

// Services for tests and benchmarks: boxes are strings in memory, message boxes are
// dismissed at once, and everything the logic does to the window is logged in order:
//   "Text6(0)=0.5"             a box was written
//   "message:Warning|64|Duty ..."  a message box: title, style and prompt
//   "end"                      the program was ended
class FakeServices : public Services {
 public:
  std::string text(TextBox box) const override;
  void setText(TextBox box, std::string_view text) override;
  void showMessage(std::string_view prompt, MessageStyle style, std::string_view title) override;
  void endProgram() override;

  // Sets a box as the user would, without logging it.
  void type(TextBox box, std::string_view text) { texts_[static_cast<size_t>(box)] = text; }
  const std::vector<std::string>& log() const { return log_; }
  // The message boxes shown, as "title|style|prompt".
  std::vector<std::string> messages() const;
  void clearLog() { log_.clear(); }
  bool ended() const { return ended_; }

  // Called while a message box is up, as if the user looked at the window before
  // dismissing it.
  std::function<void(const FakeServices&)> onMessage;

 private:
  static constexpr size_t kBoxes = static_cast<size_t>(TextBox::Text6_6) + 1;
  // In TextBox order: the window's initial texts of t, P, Ip, Ia and Ib; results empty.
  std::array<std::string, kBoxes> texts_{"0.5", "1", "1", ".5", "1"};
  std::vector<std::string> log_;
  bool ended_ = false;
};

}  // namespace rms
