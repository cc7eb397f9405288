#pragma once
// The Blowfish block cipher: 16 rounds, the standard initial P-array and S-boxes, ECB on 8-byte
// blocks read as two big-endian halves. Free of Qt. One shared() state serves the whole process.
#include <cstddef>
#include <cstdint>

class Blowfish
{
public:
    Blowfish();

    // The standard key schedule over length key bytes, taken cyclically; false (state unchanged)
    // for an empty key, which the schedule cannot use.
    bool setKey(const unsigned char *key, std::size_t length);

    void encipherBlock(std::uint32_t &left, std::uint32_t &right) const;
    void decipherBlock(std::uint32_t &left, std::uint32_t &right) const;
    // ECB over whole blocks; length must be a multiple of 8 (a trailing partial block is left).
    void encipher(unsigned char *bytes, std::size_t length) const;
    void decipher(unsigned char *bytes, std::size_t length) const;

    // The process-wide cipher state that archives are read and written with.
    static Blowfish &shared();

private:
    void reset();

    std::uint32_t p[18];
    std::uint32_t s[4][256];
};
