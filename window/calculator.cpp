// SPDX-License-Identifier: MIT
#include "window/calculator.h"

#include <optional>
#include <string>

#include "core/duty_cycle_steps.h"
#include "runtime/conversions.h"
#include "runtime/recovery.h"
#include "runtime/services.h"

namespace rms {
namespace {

constexpr int kFailureLimit = 10;

// Holds a flag up for a scope, however the scope is left.
class FlagUp {
 public:
  explicit FlagUp(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagUp() { flag_ = false; }
  FlagUp(const FlagUp&) = delete;
  FlagUp& operator=(const FlagUp&) = delete;

 private:
  bool& flag_;
};

TextBox resultBox(ResultSlot slot) {
  switch (slot) {
    case ResultSlot::FullWaveSine:
      return TextBox::Text6_0;
    case ResultSlot::PulsedSine:
      return TextBox::Text6_1;
    case ResultSlot::Rectangular:
      return TextBox::Text6_3;
    case ResultSlot::Trapezoid:
      return TextBox::Text6_4;
    case ResultSlot::Triangle:
      return TextBox::Text6_5;
    case ResultSlot::General:
      return TextBox::Text6_6;
  }
  return TextBox::Text6_0;  // not reached
}

}  // namespace

void Calculator::endWithMessage(const Failure& failure) {
  services_.showMessage("Error " + failure.description(), MessageStyle::Critical, "End");
  endProgram(services_);
}

void Calculator::onReadFailure(const Failure& failure) {
  ++readErrorCount_;
  if (readErrorCount_ > kFailureLimit) {
    endWithMessage(failure);
  }
  // Once per press, at the first box that could not be read: the results of this press
  // rest on a value that is not in that box.
  if (!boxesWarningShown_) {
    boxesWarningShown_ = true;
    services_.showMessage("Please ensure all boxes are filled", MessageStyle::Critical, "Error");
  }
}

void Calculator::onClickFailure(const Failure& failure) {
  ++clickErrorCount_;
  if (clickErrorCount_ > kFailureLimit) {
    endWithMessage(failure);
  }
}

void Calculator::convert_to_numbers() {
  Recovery recovery([this](const Failure& f) { onReadFailure(f); });
  boxesWarningShown_ = false;
  auto read = [&](float& field, TextBox box) {
    recovery.run([&] { field = TextToSingle(services_.text(box), decimalSeparator_); });
  };
  read(inputs_.t, TextBox::t);
  read(inputs_.T, TextBox::P);
  read(inputs_.Ip, TextBox::Ip);
  read(inputs_.Ia, TextBox::Ia);
  read(inputs_.Ib, TextBox::Ib);
}

void Calculator::Command1_Click() {
  // A modal message box keeps the mouse and keyboard away from the button, but not an
  // accessibility action or a click() from code: a press inside a press would rewrite
  // the record and the counts under the press that is waiting for OK.
  if (ended_ || pressing_) {
    return;
  }
  const FlagUp pressing(pressing_);
  try {
    Recovery recovery([this](const Failure& f) { onClickFailure(f); });
    convert_to_numbers();
    FormDutyCycle(
        inputs_, [&](auto&& step) { recovery.run(step); },
        [&] {
          recovery.run(
              [&] { services_.setText(TextBox::t, SingleToText(inputs_.t, decimalSeparator_)); });
          recovery.run([&] {
            services_.showMessage(
                "Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%",
                MessageStyle::Information, "Warning");
          });
        });
    for (ResultSlot slot : kResultSlots) {
      // A slot that cannot be computed is emptied, so that no box shows a result of
      // earlier inputs as if it belonged to these.
      std::optional<std::string> text;
      recovery.run([&] { text = DoubleToText(ComputeResult(slot, inputs_), decimalSeparator_); });
      recovery.run([&] { services_.setText(resultBox(slot), text.value_or(std::string())); });
    }
  } catch (const ProgramEnded&) {
    ended_ = true;
  }
}

}  // namespace rms
