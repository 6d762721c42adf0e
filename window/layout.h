// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/result_slots.h"
#include "rms/identity.h"
#include "window/twips.h"

namespace rms {

// The main window as designed: every label, text box and the button, in twips from the
// top-left corner of the client area. MainWindow builds its widgets from this table and
// nothing else places a control.

enum class ControlKind { Label, TextBox, Button };
enum class TextAlign { Left, Centred };
// Legend is the larger face of the legend labels "t" and "T"; every other control uses
// the window's font.
enum class FontRole { Window, Legend };

inline constexpr int kNoIndex = -1;

struct ControlRow {
  std::string_view name;  // layout name; array elements share it
  int index;              // element of an array, or kNoIndex
  ControlKind kind;
  TwipsRect rect;
  std::string_view text;  // caption, or the initial text of a box
  int tabIndex;           // place in the tab order; only boxes and the button stop there
  TextAlign align;
  FontRole font;
  // A box: its name for assistive technology. A label: the box it captions, if any.
  std::string_view partner;
};

// The client area: 693 x 375 logical pixels.
inline constexpr int kClientWidthTwips = 10395;
inline constexpr int kClientHeightTwips = 5625;

inline constexpr std::string_view kWindowCaption = RMS_PRODUCT " by " RMS_MAKER;

namespace layout_detail {
using K = ControlKind;
using A = TextAlign;
using F = FontRole;
inline constexpr int N = kNoIndex;
// The panels' captions come from the result slots' own rows.
inline constexpr const ResultSlotFacts* S = kResultSlotFacts.data();
}  // namespace layout_detail

// clang-format off
inline constexpr std::array<ControlRow, 40> kLayout = [] {
  using namespace layout_detail;
  return std::array<ControlRow, 40>{{
    // Input area and button.
    {"Label16",  N, K::Label,   {2640, 4680,  375, 255}, "t = ",      20, A::Left, F::Window, "t"},
    {"t",        N, K::TextBox, {3000, 4680,  855, 285}, "0.5",       18, A::Left, F::Window, "t"},
    {"Label15",  N, K::Label,   {2640, 5040,  375, 255}, "T =",       19, A::Left, F::Window, "P"},
    {"P",        N, K::TextBox, {3000, 5040,  855, 285}, "1",         17, A::Left, F::Window, "T"},
    {"Label19",  N, K::Label,   {4080, 4320,  615, 255}, "Ip",        25, A::Left, F::Window, "Ip"},
    {"Ip",       N, K::TextBox, {4800, 4320,  855, 285}, "1",         26, A::Left, F::Window, "Ip"},
    {"Label17",  N, K::Label,   {4080, 4680,  615, 255}, "Ia",        23, A::Left, F::Window, "Ia"},
    {"Ia",       N, K::TextBox, {4800, 4680,  855, 285}, ".5",        21, A::Left, F::Window, "Ia"},
    {"Label18",  N, K::Label,   {4080, 5040,  615, 255}, "Ib",        24, A::Left, F::Window, "Ib"},
    {"Ib",       N, K::TextBox, {4800, 5040,  855, 285}, "1",         22, A::Left, F::Window, "Ib"},
    {"Command1", N, K::Button,  {7680, 4680, 1455, 375}, "Calculate", 33, A::Left, F::Window, ""},

    // Result panels: title, result box and formula of each waveform, from the slots' rows.
    {"Label20", 0, K::Label,   {7080,  120, 2655, 255}, S[0].title,   34, A::Centred, F::Window, ""},
    {"Text6",   0, K::TextBox, {7080,  360, 2655, 285}, "",           27, A::Left,    F::Window, S[0].title},
    {"Label13", N, K::Label,   {2400,  120, 1815, 255}, S[0].formula, 11, A::Left,    F::Window, ""},

    {"Label20", 1, K::Label,   {7080,  840, 2655, 255}, S[1].title,   35, A::Centred, F::Window, ""},
    {"Text6",   1, K::TextBox, {7080, 1080, 2655, 285}, "",           28, A::Left,    F::Window, S[1].title},
    {"Label14", 0, K::Label,   {2400,  720, 1935, 255}, S[1].formula, 12, A::Left,    F::Window, ""},

    {"Label20", 3, K::Label,   {7080, 1560, 2655, 255}, S[2].title,   36, A::Centred, F::Window, ""},
    {"Text6",   3, K::TextBox, {7080, 1800, 2655, 285}, "",           29, A::Left,    F::Window, S[2].title},
    {"Label14", 2, K::Label,   {2400, 1440, 1935, 255}, S[2].formula, 13, A::Left,    F::Window, ""},

    {"Label20", 4, K::Label,   {7080, 2280, 2655, 255}, S[3].title,   37, A::Centred, F::Window, ""},
    {"Text6",   4, K::TextBox, {7080, 2520, 2655, 285}, "",           30, A::Left,    F::Window, S[3].title},
    {"Label14", 3, K::Label,   {2400, 2160, 3615, 255}, S[3].formula, 14, A::Left,    F::Window, ""},

    {"Label20", 5, K::Label,   {7080, 3000, 2655, 255}, S[4].title,   38, A::Centred, F::Window, ""},
    {"Text6",   5, K::TextBox, {7080, 3240, 2655, 285}, "",           31, A::Left,    F::Window, S[4].title},
    {"Label14", 4, K::Label,   {2400, 2880, 1935, 255}, S[4].formula, 15, A::Left,    F::Window, ""},

    {"Label20", 6, K::Label,   {7080, 3720, 2655, 255}, S[5].title,   39, A::Centred, F::Window, ""},
    {"Text6",   6, K::TextBox, {7080, 3960, 2655, 285}, "",           32, A::Left,    F::Window, S[5].title},
    {"Label14", 5, K::Label,   {2400, 3720, 4335, 255}, S[5].formula, 16, A::Left,    F::Window, ""},

    // Level labels of the sketches, and the legend.
    {"Label7",  N, K::Label, {1920,  120, 135, 255}, "Ip",      5, A::Left,    F::Window, ""},
    {"Label8",  N, K::Label, {1920,  840, 135, 255}, "Ip",      6, A::Left,    F::Window, ""},
    {"Label5",  N, K::Label, {1920, 1440, 135, 255}, "Ip",      4, A::Left,    F::Window, ""},
    {"Label4",  N, K::Label, {2040, 2160, 255, 255}, "Ib",      3, A::Left,    F::Window, ""},
    {"Label3",  N, K::Label, {2040, 2400, 135, 255}, "Ia",      2, A::Left,    F::Window, ""},
    {"Label9",  N, K::Label, {2040, 2880, 135, 255}, "Ip",      7, A::Left,    F::Window, ""},
    {"Label11", N, K::Label, {2040, 3600, 135, 255}, "Ib",      9, A::Left,    F::Window, ""},
    {"Label10", N, K::Label, {2040, 3960, 135, 255}, "Ia",      8, A::Left,    F::Window, ""},
    {"Label2",  N, K::Label, { 120, 4320, 255, 375}, "t",       1, A::Centred, F::Legend, ""},
    {"Label1",  N, K::Label, { 120, 5040, 375, 375}, "T",       0, A::Centred, F::Legend, ""},
    {"Label12", N, K::Label, { 720, 4920, 855, 255}, "D = t/T", 10, A::Left,   F::Window, ""},
  }};
}();
// clang-format on

// The widget name of a row: its layout name, with the index in parentheses for an
// element of an array ("Text6(3)", "Label14(2)").
std::string objectNameOf(const ControlRow& row);

}  // namespace rms
