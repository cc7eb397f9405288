#include "base/groupDigits.h"

#include <QStringList>

void groupDigits(QString &text)
{
    // The sign stays out of the grouping, so a minus never ends up alone before a comma.
    QString sign;
    if (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))) {
        sign = text.left(1);
        text.remove(0, 1);
    }

    QStringList groups;
    while (text.size() > 3) {
        groups.append(text.right(3));
        text.chop(3);
    }
    for (int i = groups.size() - 1; i >= 0; --i)
        text += QLatin1Char(',') + groups.at(i);

    text.prepend(sign);
}

QString groupedNumber(qint64 value)
{
    QString text = QString::number(value);
    groupDigits(text);
    return text;
}
