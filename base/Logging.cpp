#include "base/Logging.h"

// Sound keeps its debug messages on as before; the others speak only when asked.
Q_LOGGING_CATEGORY(lcSound, "tovira.sound")
Q_LOGGING_CATEGORY(lcArchive, "tovira.archive", QtInfoMsg)
Q_LOGGING_CATEGORY(lcScores, "tovira.scores", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPictures, "tovira.pictures", QtInfoMsg)
Q_LOGGING_CATEGORY(lcApp, "tovira.app", QtInfoMsg)
