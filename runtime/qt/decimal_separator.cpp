// SPDX-License-Identifier: MIT
#include "runtime/qt/decimal_separator.h"

#include <QLocale>
#include <QString>

namespace rms {

char decimalSeparatorOf(const QLocale& locale) {
  return locale.decimalPoint() == QLatin1String(",") ? ',' : '.';
}

}  // namespace rms
