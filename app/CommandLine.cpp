#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

bool CommandLine::parse(QCoreApplication &app)
{
    app.setApplicationVersion(QStringLiteral(TOVIRA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Tovira Parade: nine short mini-games and four picture stories.\n"
        "F11 or Alt+Enter switch between the window and full screen."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("Start in full screen."));
    parser.addOption(fullScreen);
    parser.process(app);
    return parser.isSet(fullScreen);
}
