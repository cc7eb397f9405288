#pragma once
// The external resource file (pictures, font, icon). Qt registers such a file without looking
// into it and crashes at the first read of a damaged one, so its structure is checked first.
#include <QByteArray>
#include <QString>
#include <vector>

class QFile;

class ResourceFile
{
public:
    // Maps, checks and registers the file at path under mountRoot (the root by default); false,
    // with nothing registered, for a missing, unreadable, non-regular or damaged file.
    static bool registerFile(const QString &path, const QString &mountRoot = QString());
    // Whether data is a Qt binary resource file (format 1 to 3) whose every offset, name, child
    // range and payload lies inside it.
    static bool isWellFormed(const QByteArray &data);
    // Lets go of the pages that reading pictures brought in; they come back from the page cache
    // when read again. Called once the first screen's pictures are decoded.
    static void releasePages();

private:
    struct Mapping {
        QFile *file;
        uchar *data;
    };
    static std::vector<Mapping> *kept();
};
