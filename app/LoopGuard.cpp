#include "app/LoopGuard.h"

#include <QDebug>

int LoopGuard::run(const std::function<int()> &loop)
{
    int code = 0;
    try {
        code = loop();
    } catch (...) {
        qDebug() << "エラー";
        code = 1;
    }
    return code != 0 ? 1 : 0;
}
