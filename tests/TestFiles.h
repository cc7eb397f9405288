#pragma once
// Whole files read and written by the tests.
#include <QByteArray>
#include <QString>
#include <initializer_list>

// The file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString &path);
// Writes the bytes as the whole file; the test fails if it cannot be opened.
void writeFile(const QString &path, const QByteArray &bytes);
// A sound archive under the game's key whose entries, named in order, hold 4096 zero bytes each.
bool writeSilentArchive(const QString &path, std::initializer_list<const char *> names);
