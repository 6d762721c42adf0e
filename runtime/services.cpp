// SPDX-License-Identifier: MIT
#include "runtime/services.h"

namespace rms {

std::string_view boxName(TextBox box) {
  switch (box) {
    case TextBox::t:
      return "t";
    case TextBox::P:
      return "P";
    case TextBox::Ip:
      return "Ip";
    case TextBox::Ia:
      return "Ia";
    case TextBox::Ib:
      return "Ib";
    case TextBox::Text6_0:
      return "Text6(0)";
    case TextBox::Text6_1:
      return "Text6(1)";
    case TextBox::Text6_3:
      return "Text6(3)";
    case TextBox::Text6_4:
      return "Text6(4)";
    case TextBox::Text6_5:
      return "Text6(5)";
    case TextBox::Text6_6:
      return "Text6(6)";
  }
  return "?";
}

}  // namespace rms
