// SPDX-License-Identifier: MIT
#pragma once

#include "core/waveform.h"
#include "runtime/failure.h"
#include "runtime/services.h"

namespace rms {

// The statements of a press that can fail, as a failure is counted.
enum class PressStatement {
  ReadBox,        // convert_to_numbers reading one input box
  FormDutyCycle,  // D = t/T, before or after the duty limit
  LimitDuty,      // t = T
  WriteBackT,     // the t box shows the limited t
  ShowWarning,    // the duty-limit warning
  ComputeResult,  // the formula of one slot
  WriteResult,    // its text into the result box
};

struct CountedFailure {
  PressStatement statement;
  // The box the statement reads or writes; a slot's result box for its formula; t for the
  // duty-cycle steps and the warning.
  TextBox box;
  ErrorNumber number;
};

// Told of each failure a procedure counts, before its handler goes on: the batch names
// them in its error column. The window has no listener.
class PressListener {
 public:
  virtual void failureCounted(const CountedFailure& failure) = 0;

 protected:
  ~PressListener() = default;
};

// The behaviour behind the main window: what a press of Calculate does, and what the
// user is told when a step fails. It reads and writes boxes and shows messages only
// through Services, so it runs the same over the real window and over a fake.
//
// Each procedure is a straight sequence of statements under statement-level recovery:
// a failed statement is abandoned, counted by that procedure, and the next statement
// runs. A procedure's eleventh failure ends the program after an "End" message.
//
// One press at a time: a press that arrives while another is still running (from inside
// its message box, by an accessibility action or code) is ignored and changes nothing.
class Calculator {
 public:
  // The decimalSeparator is the desktop's, ',' or '.': the boxes are read with it (a '.'
  // is always read too) and t and the results are written with it.
  explicit Calculator(Services& services, char decimalSeparator = '.',
                      PressListener* listener = nullptr)
      : services_(services), decimalSeparator_(decimalSeparator), listener_(listener) {}

  // The click handler of the Calculate button. A failed statement is counted and told, and
  // the end of the program is caught here, so only a throw from Services while a failure is
  // being told (a message box that fails in turn) leaves it.
  void Command1_Click();

  const WaveformInputs& inputs() const { return inputs_; }
  int readErrorCount() const { return readErrorCount_; }
  int clickErrorCount() const { return clickErrorCount_; }
  bool ended() const { return ended_; }
  bool pressing() const { return pressing_; }

 private:
  void convert_to_numbers();
  void onReadFailure(const Failure& failure);
  void onClickFailure(const Failure& failure);
  void tell(const Failure& failure);
  [[noreturn]] void endWithMessage(const Failure& failure);
  // Runs one statement under `recovery`, known to the handlers as `statement` on `box`.
  template <typename Recovery, typename Statement>
  void run(Recovery& recovery, PressStatement statement, TextBox box, Statement&& body);

  Services& services_;
  const char decimalSeparator_;
  PressListener* const listener_;
  CountedFailure current_{PressStatement::ReadBox, TextBox::t, ErrorNumber::NotANumber};
  WaveformInputs inputs_;
  bool boxesWarningShown_ = false;  // in the current press
  int readErrorCount_ = 0;
  int clickErrorCount_ = 0;
  bool ended_ = false;
  bool pressing_ = false;  // a press is running
};

}  // namespace rms
