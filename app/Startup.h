#pragma once
// The process-wide set-up that precedes the main window: icon, resource file, font, sounds.
class QApplication;

class Startup
{
public:
    // mute starts the sounds muted whatever the settings say.
    static void prepare(QApplication &app, bool mute = false);
};
