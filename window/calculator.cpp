// SPDX-License-Identifier: MIT
#include "window/calculator.h"

#include <optional>
#include <string>
#include <utility>

#include "core/result_slots.h"
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

}  // namespace

template <typename Recovery, typename Statement>
void Calculator::run(Recovery& recovery, PressStatement statement, TextBox box, Statement&& body) {
  current_.statement = statement;
  current_.box = box;
  recovery.run(std::forward<Statement>(body));
}

void Calculator::tell(const Failure& failure) {
  if (listener_ != nullptr) {
    current_.number = failure.number();
    listener_->failureCounted(current_);
  }
}

void Calculator::endWithMessage(const Failure& failure) {
  services_.showMessage("Error " + failure.description(), MessageStyle::Critical, "End");
  endProgram(services_);
}

void Calculator::onReadFailure(const Failure& failure) {
  tell(failure);
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
  tell(failure);
  ++clickErrorCount_;
  if (clickErrorCount_ > kFailureLimit) {
    endWithMessage(failure);
  }
}

void Calculator::convert_to_numbers() {
  Recovery recovery([this](const Failure& f) { onReadFailure(f); });
  boxesWarningShown_ = false;
  auto read = [&](float& field, TextBox box) {
    run(recovery, PressStatement::ReadBox, box, [&] {
      const Outcome<float> value = TryTextToSingle(services_.text(box), decimalSeparator_);
      if (value) {
        field = *value;
      }
      return value;
    });
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
    // D is stored before a failed division is counted, so a T of 0 leaves it infinite and
    // the limit runs.
    run(recovery, PressStatement::FormDutyCycle, TextBox::t,
        [&] { return inputs_.TryComputeDutyCycle(); });
    if (inputs_.NeedsDutyLimit()) {
      run(recovery, PressStatement::LimitDuty, TextBox::t, [&] { inputs_.ApplyDutyLimit(); });
      run(recovery, PressStatement::WriteBackT, TextBox::t,
          [&] { services_.setText(TextBox::t, SingleText(inputs_.t, decimalSeparator_)); });
      run(recovery, PressStatement::ShowWarning, TextBox::t, [&] {
        services_.showMessage("Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%",
                              MessageStyle::Information, "Warning");
      });
      run(recovery, PressStatement::FormDutyCycle, TextBox::t,
          [&] { return inputs_.TryComputeDutyCycle(); });
    }
    for (const ResultSlotFacts& slot : kResultSlotFacts) {
      // A slot that cannot be computed is emptied, so that no box shows a result of
      // earlier inputs as if it belonged to these.
      std::optional<double> result;
      run(recovery, PressStatement::ComputeResult, slot.box, [&] {
        const Outcome<double> outcome = TryComputeResult(slot.slot, inputs_);
        if (outcome) {
          result = *outcome;
        }
        return outcome;
      });
      // Its text is made where it is written: a NumberText needs no memory, so the writing
      // cannot fail for it, and the digits are read only once.
      run(recovery, PressStatement::WriteResult, slot.box, [&] {
        services_.setText(slot.box, result
                                        ? std::string_view(DoubleText(*result, decimalSeparator_))
                                        : std::string_view());
      });
    }
  } catch (const ProgramEnded&) {
    ended_ = true;
  }
}

}  // namespace rms
