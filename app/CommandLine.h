#pragma once
// The game's command line: --help and --version print and leave at once, --fullscreen starts
// in full screen, --mute starts with every sound muted, --lang ja|en picks the language.
#include "app/Language.h"

#include <QStringList>

#include <optional>

class QCoreApplication;

class CommandLine
{
public:
    struct Options {
        bool fullScreen = false;
        bool mute = false;
        // Unset: the remembered choice or the desktop's language decides.
        std::optional<Language::Code> language;
    };

    // Reads the application's arguments. --help, --version, an unknown option and a language
    // other than ja and en print their text and exit the process here.
    static Options parse(QCoreApplication &app);
    // The same for a list of arguments, the program's name first.
    static Options parse(const QStringList &arguments);
    // Answers --help and --version (and rejects an unknown option) before any window system
    // is needed, so they work on a text console too; returns when the game is to start.
    static void answerWithoutWindow(int argc, char **argv);
};
