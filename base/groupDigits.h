#pragma once
// Comma grouping of a number's decimal text, used for every score the game displays.
#include <QString>

// Inserts a comma before every group of three digits counted from the right:
// "1234567" becomes "1,234,567", "999" stays. A leading minus sign is kept in front of the
// digits ("-1234" becomes "-1,234", never "-,123").
void groupDigits(QString &text);

// The grouped decimal text of value.
QString groupedNumber(qint64 value);
