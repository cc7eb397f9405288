#pragma once
// Loads one picture from the resource file in the painter's fastest pixel format. Screens load
// their pictures once, when they set themselves up, and draw the loaded images on every frame.
#include <QImage>
#include <QString>

class Picture
{
public:
    // Loads path into image, converted to Format_ARGB32_Premultiplied. On failure image is left
    // empty (drawn as nothing) and false is returned, so the caller can print its own message.
    static bool load(QImage &image, const QString &path);
    // The same, printing failureMessage (as it stands, without quotes) when the load fails.
    static bool load(QImage &image, const QString &path, const QString &failureMessage);
    // Converts an already loaded image in place; an empty image stays empty.
    static void premultiply(QImage &image);
};
