// SPDX-License-Identifier: MIT
#include "runtime/recovery.h"

namespace rms {

void endProgram(Services& services) {
  services.endProgram();
  throw ProgramEnded{};
}

}  // namespace rms
