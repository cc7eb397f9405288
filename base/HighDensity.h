#pragma once
// The double-size pictures for screens where the game is shown enlarged (a device pixel ratio
// above 1, or full screen). Their file, resuorce2x.rcc beside resuorce.rcc, is registered only
// the first time the enlargement exceeds 1, so a normal start never reads it. A picture loaded
// through here then comes from that set with a device pixel ratio of 2: the same size in the
// scene, twice the detail on screen.
#include <QString>

class QImage;

class HighDensity
{
public:
    // Called with the device pixel ratio times the view's scale whenever either changes. True
    // the one time the double-size pictures become available, so screens can load them again.
    static bool enlargedTo(double scale);
    static bool isActive();
    // Loads path (":/..."), from the double-size set when it is active and holds the picture;
    // false when neither loads, leaving image empty (Picture::load, which the games use).
    static bool load(QImage &image, const QString &path);
    // The same, printing failureMessage when the picture does not load.
    static bool load(QImage &image, const QString &path, const QString &failureMessage);
};
