// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace rms {

// The text boxes the calculator logic reads and writes, by their layout names.
// Text6 is an array of result boxes with indices 0, 1, 3, 4, 5 and 6 (no 2).
enum class TextBox {
  t,
  P,
  Ip,
  Ia,
  Ib,
  Text6_0,
  Text6_1,
  Text6_3,
  Text6_4,
  Text6_5,
  Text6_6,
};

// The layout name of a box: "t", "P", ..., "Text6(0)", ..., "Text6(6)".
std::string_view boxName(TextBox box);

// The five input boxes in the order of the batch's CSV columns, each with the key a person
// sees on its label and in the CSV header (the T box is named P in the layout).
struct InputBox {
  TextBox box;
  std::string_view key;
};
inline constexpr std::array<InputBox, 5> kInputBoxes{{
    {TextBox::t, "t"},
    {TextBox::P, "T"},
    {TextBox::Ip, "Ip"},
    {TextBox::Ia, "Ia"},
    {TextBox::Ib, "Ib"},
}};

// Message box styles: the numbers are the style codes of the boxes.
enum class MessageStyle : int {
  Critical = 16,     // stop icon, OK button
  Information = 64,  // information icon, OK button
};

// What the calculator logic needs of the window engine. The logic never touches a
// widget: a Qt implementation drives the real window, the Recorder (runtime/recorder/)
// keeps the boxes in memory and records the press for the batch, the page and the tests.
// The arithmetic services (conversions, square root, checked arithmetic)
// are deterministic and live beside this interface as plain functions.
class Services {
 public:
  virtual ~Services() = default;

  // The whole text of a box.
  virtual std::string text(TextBox box) const = 0;
  // Replaces the whole text of a box.
  virtual void setText(TextBox box, std::string_view text) = 0;
  // Modal: returns when the user has dismissed the box.
  virtual void showMessage(std::string_view prompt, MessageStyle style, std::string_view title) = 0;
  // Closes the window and ends the program. Returns to the caller, which must not run
  // another statement (see endProgram in recovery.h).
  virtual void endProgram() = 0;
};

}  // namespace rms
