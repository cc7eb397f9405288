#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace
{
bool isLanguage(const QByteArray &value)
{
    return Language::fromName(QString::fromLatin1(value)).has_value();
}
} // namespace

void CommandLine::answerWithoutWindow(int argc, char **argv)
{
    bool textOnly = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        // A good --lang starts the game; a bad one is answered here, without a window.
        if (arg == "--lang" || arg == "-lang") {
            textOnly |= i + 1 >= argc || !isLanguage(argv[++i]);
            continue;
        }
        if (arg.startsWith("--lang=") || arg.startsWith("-lang=")) {
            textOnly |= !isLanguage(arg.mid(arg.indexOf('=') + 1));
            continue;
        }
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
    return parse(app.arguments());
}

CommandLine::Options CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tovira Parade: nine short mini-games and four picture stories.\n"
                       "F11 or Alt+Enter switch between the window and full screen; M mutes and\n"
                       "unmutes every sound. The game speaks Japanese on a desktop whose first\n"
                       "language is Japanese and English on any other, until the menu's language\n"
                       "button picks one; --lang overrides both."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("Start in full screen."));
    parser.addOption(fullScreen);
    const QCommandLineOption mute(QStringLiteral("mute"),
                                  QStringLiteral("Start with every sound muted (M unmutes)."));
    parser.addOption(mute);
    const QCommandLineOption language(
        QStringLiteral("lang"),
        QStringLiteral("Play this run in ja (Japanese) or en (English), whatever the desktop "
                       "or the menu's last choice says."),
        QStringLiteral("ja|en"));
    parser.addOption(language);
    parser.process(arguments);
    Options options{parser.isSet(fullScreen), parser.isSet(mute), std::nullopt};
    if (parser.isSet(language)) {
        options.language = Language::fromName(parser.value(language));
        if (!options.language) {
            std::fprintf(stderr, "%s: --lang takes ja or en, not \"%s\"\n",
                         qPrintable(QCoreApplication::applicationName()),
                         qPrintable(parser.value(language)));
            std::exit(1);
        }
    }
    return options;
}
