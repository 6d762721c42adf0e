// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/waveform.h"
#include "runtime/services.h"
#include "window/calculator.h"

namespace rms {

enum class StepKind { Set, Message, End };

// One thing a press did to the window, in its order.
struct Step {
  StepKind kind = StepKind::End;
  TextBox box = TextBox::t;                        // Set: the box written
  std::string text;                                // Set: its new text; Message: the prompt
  MessageStyle style = MessageStyle::Information;  // Message
  std::string title;                               // Message
};

// Everything one press did and used: what a front end shows (the steps, in order) and what
// it cannot see in them (the inputs after the duty limit, the failures the press counted).
class PressRecord {
 public:
  WaveformInputs inputs;                 // as press() found them when the press was over
  std::vector<CountedFailure> failures;  // in the order counted, with the slot's box
  bool ended = false;                    // by this press or an earlier one

  std::span<const Step> steps() const { return {steps_.data(), count_}; }
  // The duty-limit warning is a press's one information box; the others are errors.
  bool limited() const;
  // The last text written to each result box, in the order of kResultSlotFacts; empty for
  // a box the press did not write.
  std::array<std::string_view, 6> resultTexts() const;

 private:
  friend class Recorder;
  // The steps past count_ are left from earlier records and kept for their texts' memory:
  // a batch row then records without allocating.
  std::vector<Step> steps_;
  size_t count_ = 0;
};

// The recorder of what presses do to the window. The batch writes its rows from the record,
// the page replays it, the tests read it, and the desktop draws its figure from it.
//
// Made without a window, it is the window as boxes in memory: it shows nothing and waits for
// no one, and a message box is dismissed as soon as it is recorded. Made over a window's
// services (the desktop's QtServices), it records what passes through to them, which show
// and wait as they do without it.
//
// Steps and failures gather until clearRecord(); press() clears them first.
class Recorder final : public Services, public PressListener {
 public:
  Recorder() = default;
  explicit Recorder(Services& window) : window_(&window) {}

  std::string text(TextBox box) const override {
    return window_ != nullptr ? window_->text(box) : texts_[index(box)];
  }
  void setText(TextBox box, std::string_view text) override;
  void showMessage(std::string_view prompt, MessageStyle style, std::string_view title) override;
  void endProgram() override;
  void failureCounted(const CountedFailure& failure) override;

  // Sets a box as the user would, unrecorded.
  void type(TextBox box, std::string_view text) { texts_[index(box)].assign(text); }

  // One press of `calculator`, which must run over this recorder (and tell it its failures,
  // if they are wanted), recorded afresh. A press from inside one of the press's own message
  // boxes would tear its record: the calculator ignores it, and the record stays as it is.
  const PressRecord& press(Calculator& calculator);

  const PressRecord& record() const { return record_; }
  void clearRecord();
  bool ended() const { return record_.ended; }

  // Called while a message box is up, as if the user looked at the window, or acted on it,
  // before dismissing the box.
  std::function<void(const Recorder&)> onMessage;

 private:
  static constexpr size_t index(TextBox box) { return static_cast<size_t>(box); }
  void add(StepKind kind, TextBox box, std::string_view text, MessageStyle style,
           std::string_view title);

  // In TextBox order: the window's initial texts of t, P, Ip, Ia and Ib; results empty.
  std::array<std::string, static_cast<size_t>(TextBox::Text6_6) + 1> texts_{"0.5", "1", "1", ".5",
                                                                            "1"};
  PressRecord record_;
  Services* window_ = nullptr;
};

}  // namespace rms
