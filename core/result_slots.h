// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string_view>

#include "core/waveform.h"
#include "runtime/services.h"

namespace rms {

// Everything the program says about one result slot, in one row: the window's panel
// (title over the result box, formula caption beside the sketch) and the batch's CSV
// column, which also names the slot when its formula fails. The window layout, the
// calculator and the batch take these facts from here and from nowhere else.
struct ResultSlotFacts {
  ResultSlot slot;
  TextBox box;               // Text6(slot)
  std::string_view title;    // caption of Label20(slot), and the result box's name
  std::string_view formula;  // caption of the formula label (Label13, or a Label14)
  std::string_view column;   // CSV column of the batch
};

// In the order of kResultSlots, which is the order of the press and of the CSV columns.
inline constexpr std::array<ResultSlotFacts, 6> kResultSlotFacts = {{
    {ResultSlot::FullWaveSine, TextBox::Text6_0, "Full wave Sinusoidal", "Irms = Ip/Sqrt(2)",
     "full_wave_sinusoidal"},
    {ResultSlot::PulsedSine, TextBox::Text6_1, "Pulsed Sinusoidal", "Irms = Ip . Sqrt(D/2)",
     "pulsed_sinusoidal"},
    {ResultSlot::Rectangular, TextBox::Text6_3, "Rectangular", "Irms = Ip . Sqrt(D)",
     "rectangular"},
    {ResultSlot::Trapezoid, TextBox::Text6_4, "Trapezoid",
     "Irms = Sqrt[D . (Ia^2 + Ia.Ib + Ib^2) . 1/3]", "trapezoid"},
    {ResultSlot::Triangle, TextBox::Text6_5, "Triangle", "Irms = Ip . Sqrt[D/3]", "triangle"},
    {ResultSlot::General, TextBox::Text6_6, "General (AC-Coupled)",
     "Irms = Sqrt{D . [ (Ia^2 + Ia.Ib + Ib^2)/3 - (D/4).(Ia +Ib)^2]}", "general_ac_coupled"},
}};

// The row of a slot. Every slot has one, so the loop always finds it.
constexpr const ResultSlotFacts& factsOf(ResultSlot slot) {
  for (const ResultSlotFacts& facts : kResultSlotFacts) {
    if (facts.slot == slot) {
      return facts;
    }
  }
  return kResultSlotFacts[0];  // not reached
}

namespace result_slots_detail {
constexpr bool inPressOrder() {
  for (size_t i = 0; i < kResultSlots.size(); ++i) {
    if (kResultSlotFacts[i].slot != kResultSlots[i] ||
        static_cast<int>(kResultSlotFacts[i].box) - static_cast<int>(TextBox::Text6_0) !=
            static_cast<int>(i)) {
      return false;
    }
  }
  return true;
}
}  // namespace result_slots_detail
static_assert(result_slots_detail::inPressOrder(),
              "one row per slot, in the order of kResultSlots and of the Text6 boxes");

}  // namespace rms
