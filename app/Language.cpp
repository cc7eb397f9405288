#include "app/Language.h"

#include "base/Logging.h"
#include "sound/SoundSettings.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>
#include <QTranslator>

namespace
{
const char *const ChoiceKey = "language/chosen";

Language::Code applied = Language::Japanese;
// Owned by the application object, so it never outlives it.
QPointer<QTranslator> installed;
} // namespace

std::optional<Language::Code> Language::fromName(const QString &name)
{
    const QString lower = name.trimmed().toLower();
    if (lower == QLatin1String("ja"))
        return Japanese;
    if (lower == QLatin1String("en"))
        return English;
    return std::nullopt;
}

QString Language::name(Code code)
{
    return code == Japanese ? QStringLiteral("ja") : QStringLiteral("en");
}

Language::Code Language::fromDesktop(const QStringList &uiLanguages)
{
    if (uiLanguages.isEmpty())
        return English;
    // The language subtag of a BCP 47 tag or a POSIX locale name.
    static const QRegularExpression separators(QStringLiteral("[-_.@]"));
    const QString first = uiLanguages.first().section(separators, 0, 0).toLower();
    return first == QLatin1String("ja") ? Japanese : English;
}

Language::Code Language::choose(std::optional<Code> commandLine, std::optional<Code> remembered,
                                const QStringList &uiLanguages)
{
    if (commandLine)
        return *commandLine;
    if (remembered)
        return *remembered;
    return fromDesktop(uiLanguages);
}

std::optional<Language::Code> Language::remembered()
{
    const QSettings settings(SoundSettings::filePath(), QSettings::IniFormat);
    return fromName(settings.value(QLatin1String(ChoiceKey)).toString());
}

void Language::remember(Code code)
{
    QSettings settings(SoundSettings::filePath(), QSettings::IniFormat);
    settings.setValue(QLatin1String(ChoiceKey), name(code));
}

void Language::apply(Code code)
{
    // A locale with its territory: a resource entry of the language alone matches it too.
    QLocale::setDefault(code == Japanese ? QLocale(QLocale::Japanese, QLocale::Japan)
                                         : QLocale(QLocale::English, QLocale::UnitedStates));
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    installed = new QTranslator(QCoreApplication::instance());
    const QString file = QStringLiteral(":/i18n/tovira_") + name(code) + QStringLiteral(".qm");
    if (!installed->load(file) || !QCoreApplication::installTranslator(installed))
        qCWarning(lcApp) << "no translation" << file;
    applied = code;
    qCDebug(lcApp).noquote() << "language:" << name(code);
}

Language::Code Language::current()
{
    return applied;
}
