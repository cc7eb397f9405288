#pragma once
// The texts of one language for the pictures: assets/art/text/<language>.txt gives, for each text
// an SVG source draws (in Japanese, as the source writes it), the text the language's picture
// draws instead. Texts before the first [file] line serve every picture (the shared panels);
// those under "[lancher/info0.svg]" only that source. An English text may start with SVG
// attributes in braces, "{font-size="14"} Text", which replace or join the <text> element's own.
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class TextTable
{
public:
    // Reads the table at path; false with a message naming the line when it cannot.
    bool load(const QString &path, QString *error);
    // The language the file names ("en" for en.txt).
    QString language() const { return lang; }

    // svg (the source file under assets/art, or "" for the shared definitions) with the text of
    // every <text> element the table names put in this language. A text with a Japanese
    // character that the table does not name is noted, for missing().
    QString translate(const QString &svg, const QString &file) const;
    // "file: text" of each Japanese text translate met without an entry.
    QStringList missing() const { return unnamed; }
    // "line N: text" of each entry no translate call has used so far.
    QStringList unused() const;
    // How many texts the table holds.
    int size() const;

    // Whether text holds a Japanese character (kana, kanji, CJK or full-width punctuation).
    static bool hasJapanese(const QString &text);

private:
    struct Entry {
        QString text;
        QList<QPair<QString, QString>> attributes;
        int line = 0;
        mutable bool used = false;
    };
    QString lang;
    QHash<QString, QHash<QString, Entry>> sections; // by source file; "" for every picture
    mutable QStringList unnamed;
};
