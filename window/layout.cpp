// SPDX-License-Identifier: MIT
#include "window/layout.h"

namespace rms {

std::string objectNameOf(const ControlRow& row) {
  std::string name(row.name);
  if (row.index != kNoIndex) {
    name.append("(").append(std::to_string(row.index)).append(")");
  }
  return name;
}

}  // namespace rms
