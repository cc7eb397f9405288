#include "TextTable.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

bool TextTable::hasJapanese(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30ff) || (u >= 0x3400 && u <= 0x4dbf) ||
            (u >= 0x4e00 && u <= 0x9fff) || (u >= 0xff00 && u <= 0xffef))
            return true;
    }
    return false;
}

bool TextTable::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    lang = QFileInfo(path).completeBaseName();
    static const QRegularExpression section("^\\[(\\S+)\\]$");
    static const QRegularExpression entry("^(\\S.*?)\\s+=(?:\\s+(.*))?$");
    static const QRegularExpression braces("^\\{([^}]*)\\}\\s*(.*)$");
    static const QRegularExpression attribute("([A-Za-z][\\w:-]*)=\"([^\"]*)\"");
    QString current;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const QString where = QStringLiteral("%1:%2").arg(path).arg(i + 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (const auto m = section.match(line); m.hasMatch()) {
            current = m.captured(1);
            continue;
        }
        const auto m = entry.match(line);
        if (!m.hasMatch()) {
            *error = where + QStringLiteral(": not \"text = translation\" nor \"[file]\"");
            return false;
        }
        Entry e;
        e.line = i + 1;
        e.text = m.captured(2).trimmed();
        if (const auto b = braces.match(e.text); b.hasMatch()) {
            auto a = attribute.globalMatch(b.captured(1));
            while (a.hasNext()) {
                const auto one = a.next();
                e.attributes.append({one.captured(1), one.captured(2)});
            }
            e.text = b.captured(2).trimmed();
        }
        QHash<QString, Entry> &texts = sections[current];
        if (texts.contains(m.captured(1))) {
            *error = where + QStringLiteral(": %1 is named twice").arg(m.captured(1));
            return false;
        }
        texts.insert(m.captured(1), e);
    }
    return true;
}

namespace
{
QString escaped(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
}

// The attributes of a start tag with each of `set` replacing its namesake or joining them.
QString withAttributes(QString tag, const QList<QPair<QString, QString>> &set)
{
    for (const auto &[name, value] : set) {
        const QRegularExpression own(
            QStringLiteral("(\\s%1=\")[^\"]*\"").arg(QRegularExpression::escape(name)));
        const QString replacement = QStringLiteral("\\1%1\"").arg(value);
        if (tag.contains(own))
            tag.replace(own, replacement);
        else
            tag += QStringLiteral(" %1=\"%2\"").arg(name, value);
    }
    return tag;
}
} // namespace

QString TextTable::translate(const QString &svg, const QString &file) const
{
    static const QRegularExpression text("<text\\b([^>]*)>([^<]*)</text>");
    QString out;
    qsizetype done = 0;
    auto it = text.globalMatch(svg);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString said = m.captured(2).trimmed();
        // The source's own entry first, then one for every picture.
        const Entry *e = nullptr;
        for (const QString &section : {file, QString()}) {
            const auto f = sections.constFind(section);
            if (!e && f != sections.constEnd() && f->contains(said))
                e = &*f->constFind(said);
        }
        if (!e) {
            const QString note =
                QStringLiteral("%1: %2").arg(file.isEmpty() ? "shared" : file, said);
            if (hasJapanese(said) && !unnamed.contains(note))
                unnamed << note;
            continue;
        }
        e->used = true;
        out += svg.mid(done, m.capturedStart() - done);
        out += QStringLiteral("<text") + withAttributes(m.captured(1), e->attributes) +
               QLatin1Char('>') + escaped(e->text) + QStringLiteral("</text>");
        done = m.capturedEnd();
    }
    out += svg.mid(done);
    return out;
}

QStringList TextTable::unused() const
{
    QStringList list;
    for (auto s = sections.constBegin(); s != sections.constEnd(); ++s)
        for (auto e = s->constBegin(); e != s->constEnd(); ++e)
            if (!e->used)
                list << QStringLiteral("line %1: %2").arg(e->line).arg(e.key());
    list.sort();
    return list;
}

int TextTable::size() const
{
    int n = 0;
    for (const auto &s : sections)
        n += int(s.size());
    return n;
}
