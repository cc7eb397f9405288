#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

void CommandLine::answerWithoutWindow(int argc, char **argv)
{
    bool textOnly = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        textOnly |= arg.startsWith('-') && arg != "--fullscreen" && arg != "-fullscreen" &&
                    arg != "--mute" && arg != "-mute";
    }
    if (!textOnly)
        return;
    // Qt's own window-system options (-platform, -display ...) are left to the game.
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    static const QStringList windowOptions = {
        QStringLiteral("-platform"),    QStringLiteral("-display"),
        QStringLiteral("-geometry"),    QStringLiteral("-style"),
        QStringLiteral("-stylesheet"),  QStringLiteral("-qwindowtitle"),
        QStringLiteral("-qwindowicon"), QStringLiteral("-platformtheme"),
        QStringLiteral("-plugin"),      QStringLiteral("-qmljsdebugger"),
        QStringLiteral("-reverse"),     QStringLiteral("-session")};
    for (const QString &arg : args) {
        if (windowOptions.contains(arg) ||
            windowOptions.contains(arg.section(QLatin1Char('='), 0, 0)))
            return;
    }
    parse(app);
}

CommandLine::Options CommandLine::parse(QCoreApplication &app)
{
    app.setApplicationVersion(QStringLiteral(TOVIRA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tovira Parade: nine short mini-games and four picture stories.\n"
                       "F11 or Alt+Enter switch between the window and full screen; M mutes and\n"
                       "unmutes every sound."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("Start in full screen."));
    parser.addOption(fullScreen);
    const QCommandLineOption mute(QStringLiteral("mute"),
                                  QStringLiteral("Start with every sound muted (M unmutes)."));
    parser.addOption(mute);
    parser.process(app);
    return {parser.isSet(fullScreen), parser.isSet(mute)};
}
