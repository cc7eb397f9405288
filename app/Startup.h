#pragma once
// The process-wide set-up that precedes the main window: icon, resource file, font, sounds.
class QApplication;

class Startup
{
public:
    static void prepare(QApplication &app);
};
