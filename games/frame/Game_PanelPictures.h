#pragma once
// The three pictures a timed game's screen is built on, all from the game's folder: the
// background (BG), the score panel's backdrop (SCORE) and the clock's (TIMER). A game keeps its
// pictures in a struct derived from this one and loads the rest of them by name.
#include <QImage>
#include <QString>

class Game_PanelPictures
{
public:
    QImage background;
    QImage score;
    QImage timer;

    // folder is the pictures' folder in the resource file without its colon ("/img/speed/").
    // A background that fails prints its bare path, the others their "imgReadError: " line.
    void loadPanel(const QString &folder);
    // Loads ":" + folder + name into image; a failure prints "imgReadError: " + folder + name.
    static bool load(QImage &image, const QString &folder, const QString &name);
};
