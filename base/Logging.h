#pragma once
// Our own diagnostics, one category per subsystem (QT_LOGGING_RULES="tovira.*=true" shows them
// all). The fixed debug messages the players' builds have always printed stay plain qDebug.
#include <QLoggingCategory>

// Sound playback: starts and stops are debug messages, shown by default.
Q_DECLARE_LOGGING_CATEGORY(lcSound)
// Reading the sound archive's entries.
Q_DECLARE_LOGGING_CATEGORY(lcArchive)
// The score file: why a write or a read did not happen.
Q_DECLARE_LOGGING_CATEGORY(lcScores)
// Picture loading and the double-size resource file.
Q_DECLARE_LOGGING_CATEGORY(lcPictures)
// Start-up and the main window.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
