#pragma once
// The blocking notice box. The game shows a real message box; tests replace it, since a modal
// box would hang a headless run.
#include <QString>
#include <functional>

class Notice
{
public:
    using Handler = std::function<void(const QString &title, const QString &text)>;

    static void show(const QString &title, const QString &text);
    // An empty handler restores the message box.
    static void setHandler(Handler handler);
};
