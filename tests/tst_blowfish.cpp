// Our Blowfish against the published vectors, its bulk decipher loop against single blocks, and
// the empty key that the key schedule refuses.
#include "sound/Archive.h"
#include "sound/Blowfish.h"

#include <QtTest>

#include <random>

namespace
{
using Bytes = std::vector<unsigned char>;

Bytes hexBytes(const char *hex)
{
    const QByteArray raw = QByteArray::fromHex(hex);
    return Bytes(raw.begin(), raw.end());
}

quint64 block(const Bytes &b)
{
    quint64 v = 0;
    for (unsigned char c : b)
        v = (v << 8) | c;
    return v;
}
} // namespace

class TestBlowfish : public QObject
{
    Q_OBJECT
private slots:
    // The published ECB vectors for fixed 8-byte keys.
    void blowfishMatchesThePublishedFixedKeyVectors_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");
        const char *rows[][3] = {
            {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
            {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
            {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
            {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
            {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
            {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
            {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
            {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
            {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
            {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
            {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
            {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
            {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
            {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
            {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
            {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
            {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
        };
        for (auto &r : rows)
            QTest::newRow(r[0]) << QByteArray(r[0]) << QByteArray(r[1]) << QByteArray(r[2]);
    }
    void blowfishMatchesThePublishedFixedKeyVectors()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipher);
        Blowfish bf;
        const Bytes k = hexBytes(key.constData());
        QVERIFY(bf.setKey(k.data(), k.size()));
        Bytes b = hexBytes(plain.constData());
        bf.encipher(b.data(), b.size());
        QCOMPARE(QByteArray::number(block(b), 16).rightJustified(16, '0').toUpper(), cipher);
        bf.decipher(b.data(), b.size());
        QCOMPARE(b, hexBytes(plain.constData()));
    }

    // The published variable-key-length vectors: keys of 1 to 24 bytes, all prefixes of one key.
    void blowfishMatchesTheVariableKeyLengthVectors()
    {
        const Bytes key = hexBytes("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677");
        const char *expected[] = {
            "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
            "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
            "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
            "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
            "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
            "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080"};
        for (std::size_t n = 1; n <= key.size(); ++n) {
            Blowfish bf;
            QVERIFY(bf.setKey(key.data(), n));
            Bytes b = hexBytes("FEDCBA9876543210");
            bf.encipher(b.data(), b.size());
            QCOMPARE(QByteArray::number(block(b), 16).rightJustified(16, '0').toUpper(),
                     QByteArray(expected[n - 1]));
        }
    }

    // The interleaved decipher loop gives the same blocks as one block at a time, at any length.
    void decipheringManyBlocksAgreesWithSingleBlocks()
    {
        Blowfish bf;
        const std::string key = "pelorn_quives";
        bf.setKey(reinterpret_cast<const unsigned char *>(key.data()), key.size());
        for (std::size_t blocks = 0; blocks <= 13; ++blocks) {
            std::mt19937 gen{unsigned(blocks)};
            Bytes plain(blocks * 8);
            for (auto &c : plain)
                c = static_cast<unsigned char>(gen());
            Bytes one = plain;
            bf.encipher(one.data(), one.size());
            Bytes bulk = one;
            bf.decipher(bulk.data(), bulk.size());
            QCOMPARE(bulk, plain);
            for (std::size_t off = 0; off < one.size(); off += 8) {
                Bytes single(one.begin() + long(off), one.begin() + long(off) + 8);
                bf.decipher(single.data(), 8);
                QVERIFY(std::equal(single.begin(), single.end(), plain.begin() + long(off)));
            }
        }
    }

    // The key schedule cannot use an empty key: it is refused and the state stays as it was.
    void anEmptyKeyIsRefused()
    {
        Blowfish bf;
        const unsigned char k[] = {1, 2, 3};
        bf.setKey(k, 3);
        Bytes before(8, 0x42);
        bf.encipher(before.data(), 8);
        QVERIFY(!bf.setKey(k, 0));
        Bytes after(8, 0x42);
        bf.encipher(after.data(), 8);
        QCOMPARE(after, before);
        QVERIFY(!Archive::keyCipher(""));
    }
};

QTEST_GUILESS_MAIN(TestBlowfish)
#include "tst_blowfish.moc"
