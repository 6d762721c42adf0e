// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "figure/figure.h"
#include "runtime/recorder/recorder.h"

namespace rms {

// The figure's input from the record of one press: the inputs it ended with, the failures
// it counted and the six result texts it wrote with the decimal mark `pressMark`, shown with
// `decimalSeparator`. A result box whose formula failed, or whose text could not be
// written, is a failed slot.
FigureInput FigureInputOf(const PressRecord& record, char pressMark, char decimalSeparator);

// What a figure needs of a press, wherever the press ran.
struct PressFacts {
  WaveformInputs inputs;                      // after the duty limit
  std::span<const CountedFailure> failures;   // in the order counted
  bool limited = false;                       // the duty limit applied
  std::array<std::string_view, 6> results{};  // in the order of kResultSlotFacts
};
FigureInput FigureInputOf(const PressFacts& press, char pressMark, char decimalSeparator);

// Services over other services that watch a press go by for its figure: the failures it
// counts (as its listener), whether it limited the duty and what it wrote into the result
// boxes. The window's press runs through it unchanged; it keeps no texts of its own.
class PressWatch final : public Services, public PressListener {
 public:
  PressWatch(Services& inner, char decimalSeparator)
      : inner_(inner), decimalSeparator_(decimalSeparator) {}

  std::string text(TextBox box) const override { return inner_.text(box); }
  void setText(TextBox box, std::string_view text) override;
  void showMessage(std::string_view prompt, MessageStyle style, std::string_view title) override;
  void endProgram() override { inner_.endProgram(); }
  void failureCounted(const CountedFailure& failure) override { failures_.push_back(failure); }

  // One press of `calculator`, which must run over this watch and tell it its failures.
  // Empty when the press did nothing: the program had ended, or a press was already
  // running (from inside its message box), whose figure this one would have torn.
  std::optional<FigureInput> press(Calculator& calculator);

 private:
  Services& inner_;
  const char decimalSeparator_;
  bool pressing_ = false;
  bool limited_ = false;
  std::vector<CountedFailure> failures_;
  std::array<std::string, 6> results_;
};

}  // namespace rms
