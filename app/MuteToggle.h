#pragma once
// The M key's mute: silences or restores every sound at once, keeps the choice in the settings
// file, and shows a small mark of the new state for a moment in the top right corner.
#include <QObject>
#include <QRectF>
#include <QTimer>

class MuteToggle : public QObject
{
    Q_OBJECT
public:
    static constexpr int BadgeMilliseconds = 1200;

    MuteToggle();

    // Where the mark is drawn, in scene coordinates.
    static QRectF badgeRect();
    // Flips the sound manager's mute (nothing without one), stores it and shows the mark.
    void toggle();
    bool isBadgeShown() const { return badgeTimer.isActive(); }
    bool isMuted() const;

signals:
    // The mark appeared or went: its rectangle is to be drawn again.
    void badgeChanged(const QRectF &rect);

private:
    QTimer badgeTimer;
};
