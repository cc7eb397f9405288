#include "app/ScoreFile.h"

#include "app/Notice.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

ScoreFile::ScoreFile(const QString &path) : filePath(path) {}

void ScoreFile::load(int *table) const
{
    if (!QFileInfo::exists(filePath))
        write(table);
    read(table);
}

QString ScoreFile::format(const int *table)
{
    QString text = QStringLiteral("Tovira Game") + QStringLiteral("\n");
    for (int n = 1; n <= Count; ++n) {
        text += QStringLiteral("game") + QString::number(n) + QStringLiteral("=") +
                QString::number(table[n - 1]) + QStringLiteral("\n");
    }
    return text;
}

void ScoreFile::write(const int *table) const
{
    // Written beside the old file and renamed over it, so a crash mid-write leaves the old
    // file or the new one, never a truncated one.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qDebug() << "configWriteError";
        return;
    }
    QTextStream out(&file);
    out << format(table);
    out.flush();
    if (!file.commit())
        qDebug() << "configWriteError";
}

static void parseDevice(QIODevice &in, int *table)
{
    // The header is taken up to the first zero byte, as a C string would be.
    QByteArray first = in.readLine();
    const int nul = first.indexOf('\0');
    if (nul >= 0)
        first.truncate(nul);
    if (!QString::fromUtf8(first).contains(QStringLiteral("Tovira Game")))
        return;

    static const QRegularExpression key(QStringLiteral("^game[\\d]+="));
    static const QRegularExpression lineEnd(QStringLiteral("\\n$"));
    int slot = 0;
    while (!in.atEnd()) {
        QString line = QString::fromUtf8(in.readLine());
        line.remove(key);
        line.remove(lineEnd);
        bool ok = false;
        const int value = line.toInt(&ok, 10);
        if (ok && slot <= ScoreFile::Count - 1)
            table[slot++] = value;
    }
}

void ScoreFile::parse(const QByteArray &text, int *table)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    parseDevice(buffer, table);
}

void ScoreFile::read(int *table) const
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        Notice::show(QCoreApplication::translate("Scene", "あああ"),
                     QCoreApplication::translate("Scene", "オープンエラー"));
        return;
    }
    parseDevice(file, table);
}
