// SPDX-License-Identifier: MIT
#pragma once

class QLocale;

namespace rms {

// The decimal separator the window reads and writes on a desktop in this locale: ','
// where the locale writes a decimal comma, '.' everywhere else (also where it writes
// some other mark, which the conversions do not know). Group separators play no part.
char decimalSeparatorOf(const QLocale& locale);

}  // namespace rms
