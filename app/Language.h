#pragma once
// The game's language: Japanese, in which every text is written, or English. --lang decides,
// else the player's last choice on the menu, else the desktop: Japanese when the desktop's first
// language is Japanese, English for any other. Applying one makes it the default locale (the
// resource file then serves that language's pictures under the same paths, and every picture
// loaded from then on is in it) and installs its translation of the texts in code.
#include <QString>
#include <QStringList>

#include <optional>

class Language
{
public:
    enum Code { Japanese, English };

    // "ja" or "en", in any case; nothing for another name.
    static std::optional<Code> fromName(const QString &name);
    static QString name(Code code);
    static Code other(Code code) { return code == Japanese ? English : Japanese; }
    // From the desktop's languages, first first, as QLocale::uiLanguages gives them ("ja-JP",
    // "en_US.UTF-8", "C" ...): Japanese only when the first one is.
    static Code fromDesktop(const QStringList &uiLanguages);
    // The command line's choice, then the remembered one, then the desktop's.
    static Code choose(std::optional<Code> commandLine, std::optional<Code> remembered,
                       const QStringList &uiLanguages);

    // The choice made with the menu's button, kept in the settings file with the sound choices;
    // nothing when none was made or the entry is not a language.
    static std::optional<Code> remembered();
    static void remember(Code code);

    // Sets the default locale and swaps in code's translation (":/i18n/tovira_<name>.qm").
    static void apply(Code code);
    // The language last applied; Japanese before any.
    static Code current();
};
