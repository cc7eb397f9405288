#pragma once
// The notice seam. A notice goes to the handler when one is set (tests replace it, since a modal
// box would hang a headless run), else to the caller's own way of showing it (the scene draws
// its notices in the game's look), else to a blocking message box.
#include <QString>
#include <functional>

class Notice
{
public:
    using Handler = std::function<void(const QString &title, const QString &text)>;

    static void show(const QString &title, const QString &text, const Handler &ownWay = {});
    // An empty handler restores the message box.
    static void setHandler(Handler handler);
};
