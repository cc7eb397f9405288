#include "launcher/Lanch_KeyNavigation.h"

#include "base/Keys.h"

#include <QLineF>

#include <cmath>

namespace
{
// The next entry that can take the focus, counting by step from `from` round the list.
int cycle(const QVector<QRectF> &entries, int from, int step)
{
    const int n = int(entries.size());
    for (int k = 1; k <= n; ++k) {
        const int i = ((from + step * k) % n + n) % n;
        if (!entries[i].isEmpty())
            return i;
    }
    return -1;
}
} // namespace

int Lanch_KeyNavigation::next(const QVector<QRectF> &entries, int from, int key)
{
    const bool back = key == Qt::Key_Backtab;
    const QPointF towards = Keys::arrowStep(key);
    // Any other key (F11, a letter) moves nothing.
    if (key != Qt::Key_Tab && !back && towards.isNull())
        return from;
    if (entries.isEmpty())
        return -1;
    // The first key only shows where the focus is: the first entry (the last for Shift+Tab).
    if (from < 0 || from >= entries.size() || entries[from].isEmpty())
        return cycle(entries, back ? 0 : -1, back ? -1 : 1);
    if (key == Qt::Key_Tab || back)
        return cycle(entries, from, back ? -1 : 1);
    // Nearest along the arrow, with a sideways offset counting double, so that an entry
    // straight ahead wins over a closer one off to the side.
    const QPointF origin = entries[from].center();
    int best = from;
    qreal bestCost = 0;
    for (int i = 0; i < entries.size(); ++i) {
        if (i == from || entries[i].isEmpty())
            continue;
        const QPointF d = entries[i].center() - origin;
        const qreal along = d.x() * towards.x() + d.y() * towards.y();
        const qreal aside = std::abs(d.x() * towards.y() - d.y() * towards.x());
        if (along <= 1)
            continue;
        const qreal cost = along + 2 * aside;
        if (best == from || cost < bestCost) {
            best = i;
            bestCost = cost;
        }
    }
    return best;
}
