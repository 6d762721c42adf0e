// SPDX-License-Identifier: MIT
// Windows icon (.ico) files holding 16-colour images: one 4-bit bitmap with the palette
// and an all-opaque mask per image.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "packaging/icon/icon_art.h"

namespace rms::icon {

// The images go into the file in the order given. Throws std::invalid_argument for an empty
// list or an image that is not square with a size of 1 to 256 pixels.
std::vector<std::uint8_t> encodeIco(std::span<const IconImage> images);

}  // namespace rms::icon
