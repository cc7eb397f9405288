#pragma once
// The game's command line: --help and --version print and leave at once, --fullscreen starts
// in full screen.
class QCoreApplication;

class CommandLine
{
public:
    // Reads the application's arguments; returns whether to start in full screen. --help,
    // --version and an unknown option print their text and exit the process here.
    static bool parse(QCoreApplication &app);
    // Answers --help and --version (and rejects an unknown option) before any window system
    // is needed, so they work on a text console too; returns when the game is to start.
    static void answerWithoutWindow(int argc, char **argv);
};
