#include "base/Notice.h"

#include <QMessageBox>

namespace
{
Notice::Handler &handler()
{
    static Notice::Handler h;
    return h;
}
} // namespace

void Notice::show(const QString &title, const QString &text, const Handler &ownWay)
{
    if (handler()) {
        handler()(title, text);
        return;
    }
    if (ownWay) {
        ownWay(title, text);
        return;
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    box.exec();
}

void Notice::setHandler(Handler h)
{
    handler() = std::move(h);
}
