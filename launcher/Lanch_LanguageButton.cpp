#include "launcher/Lanch_LanguageButton.h"

#include <QLocale>

QRectF Lanch_LanguageButton::rect()
{
    return QRectF(955, 74, 60, 42);
}

QString Lanch_LanguageButton::label()
{
    // Each name in its own language and script, so that a player who cannot read the game's
    // present language still finds their own.
    return QLocale().language() == QLocale::Japanese ? QStringLiteral("English")
                                                     : QStringLiteral("日本語");
}
