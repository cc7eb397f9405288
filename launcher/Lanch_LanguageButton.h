#pragma once
// The menu's language button, under the sound button: where it lies and what it says, the name
// of the language it switches to, written in that language. Lanch_SoundDress draws it.
#include <QRectF>
#include <QString>

class Lanch_LanguageButton
{
public:
    // In the free corner right of the score board, clear of every entry and of the sound panel.
    static QRectF rect();
    // "English" while the game is in Japanese (the default locale tells), "にほんご" otherwise.
    static QString label();
};
