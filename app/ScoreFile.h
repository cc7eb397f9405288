#pragma once
// The best-score file: a header line "Tovira Game" and ten lines "gameN=value".
#include <QByteArray>
#include <QString>

class ScoreFile
{
public:
    static constexpr int Count = 10;
    // The real file is under 200 bytes; no more than this is ever read of it.
    static constexpr qint64 MaxBytes = 64 * 1024;

    explicit ScoreFile(const QString &path);

    // Clears leftovers of an interrupted save, writes the file first when it does not exist,
    // then reads it.
    void load(int *table) const;
    // Saves the table, each entry the larger of the table's and the file's, so that another
    // copy of the game never loses a best to this one; the table takes the merged values. A
    // file the game cannot read is kept aside before it is replaced. Any failure prints
    // "configWriteError", leaves the old file as it was and returns false.
    bool write(int *table) const;
    // Fills the table from the file; a file that cannot be read as a regular file shows the
    // "オープンエラー" notice and a file without the header leaves the table as it was.
    void read(int *table) const;
    // Puts text in place of the file whole: the old file or the new one, never a mix.
    bool replace(const QByteArray &text) const;

    // The file's text for a table, and the parse of a text into a table (the header included):
    // the number of values it stored, or -1 when the text has no header.
    static QString format(const int *table);
    static int parse(const QByteArray &text, int *table);

    const QString &path() const { return filePath; }

private:
    void removeLeftovers() const;

    QString filePath;
};
