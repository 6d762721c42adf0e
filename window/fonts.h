// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

namespace rms {

// The window's font: a face with the metrics the captions were designed for, at 8 points.
QFont windowFont();
// The legend labels' face: sans-serif, regular, 9.75 points.
QFont legendFont();

}  // namespace rms
