#pragma once
// The best-score file: a header line "Tovira Game" and ten lines "gameN=value".
#include <QString>

class ScoreFile
{
public:
    static constexpr int Count = 10;

    explicit ScoreFile(const QString &path);

    // Writes the file first when it does not exist, then reads it.
    void load(int *table) const;
    // Replaces the file whole. A failed open prints "configWriteError".
    void write(const int *table) const;
    // Fills the table from the file; an unopenable file shows the "オープンエラー" notice and
    // a file without the header leaves the table as it was.
    void read(int *table) const;

    // The file's text for a table, and the parse of a text into a table (the header included).
    static QString format(const int *table);
    static void parse(const QByteArray &text, int *table);

    const QString &path() const { return filePath; }

private:
    QString filePath;
};
