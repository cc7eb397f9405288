#pragma once
// The process-wide set-up that precedes the main window: language, icon, resource file, font,
// sounds.
#include "app/Language.h"

#include <optional>

class QApplication;

class Startup
{
public:
    // mute starts the sounds muted whatever the settings say; language (--lang) holds whatever
    // the settings or the desktop say.
    static void prepare(QApplication &app, bool mute = false,
                        std::optional<Language::Code> language = std::nullopt);
};
