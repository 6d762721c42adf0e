// SPDX-License-Identifier: MIT
#include "app/console.h"

namespace rms {

void prepareConsoleStreams() {}

}  // namespace rms
