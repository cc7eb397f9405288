// libFuzzer target: the resource file check on arbitrary bytes. Whatever the check accepts, Qt
// registers, and its folders list and its entries read without a fault.
#include "base/ResourceFile.h"

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QResource>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!ResourceFile::isWellFormed(QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                            static_cast<qsizetype>(size))))
        return 0;
    // A heap copy of exactly the input's size, so that a read past its end meets a red zone.
    auto *rcc = static_cast<uchar *>(std::malloc(size));
    std::memcpy(rcc, data, size);
    const QString root = QStringLiteral("/fuzz");
    if (QResource::registerResource(rcc, root)) {
        // Listing the tree exercises every name and payload; it is bounded to keep runs fast.
        QDirIterator it(QStringLiteral(":/fuzz"), QDir::AllEntries | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        for (int n = 0; n < 256 && it.hasNext(); ++n) {
            QFile entry(it.next());
            if (entry.open(QIODevice::ReadOnly))
                entry.readAll();
        }
        // Qt keeps some roots it registered (unregistering fails); their bytes must stay.
        static auto *keptByQt = new std::vector<uchar *>; // still reachable at exit
        if (!QResource::unregisterResource(rcc, root)) {
            keptByQt->push_back(rcc);
            return 0;
        }
    }
    std::free(rcc);
    return 0;
}
