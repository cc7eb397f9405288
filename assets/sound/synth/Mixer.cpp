#include "Mixer.h"

#include "Song.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace
{

class Comb
{
public:
    explicit Comb(std::size_t size) : line(size, 0.f) {}
    float process(float in, float feedback, float damp)
    {
        const float out = line[at];
        store = out * (1 - damp) + store * damp;
        line[at] = in + store * feedback;
        at = (at + 1) % line.size();
        return out;
    }

private:
    std::vector<float> line;
    std::size_t at = 0;
    float store = 0;
};

class Allpass
{
public:
    explicit Allpass(std::size_t size) : line(size, 0.f) {}
    float process(float in)
    {
        const float buffered = line[at];
        line[at] = in + buffered * 0.5f;
        at = (at + 1) % line.size();
        return buffered - in;
    }

private:
    std::vector<float> line;
    std::size_t at = 0;
};

// A Schroeder-style room: eight damped combs in parallel, four all-passes in series per side,
// the right side's delays a little longer for width.
class Reverb
{
public:
    explicit Reverb(double rate)
    {
        const double scale = rate / 44100.0;
        const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        const int passes[4] = {556, 441, 341, 225};
        for (int c : combs) {
            left.emplace_back(std::size_t(c * scale));
            right.emplace_back(std::size_t((c + 23) * scale));
        }
        for (int p : passes) {
            leftPass.emplace_back(std::size_t(p * scale));
            rightPass.emplace_back(std::size_t((p + 23) * scale));
        }
    }
    void process(float in, float *outL, float *outR)
    {
        float l = 0, r = 0;
        const float x = in * 0.015f;
        for (auto &c : left)
            l += c.process(x, 0.84f, 0.25f);
        for (auto &c : right)
            r += c.process(x, 0.84f, 0.25f);
        for (auto &a : leftPass)
            l = a.process(l);
        for (auto &a : rightPass)
            r = a.process(r);
        *outL = l;
        *outR = r;
    }

private:
    std::vector<Comb> left, right;
    std::vector<Allpass> leftPass, rightPass;
};

} // namespace

Bus::Bus(std::size_t frames)
    : length(frames), dryL(frames, 0.f), dryR(frames, 0.f), revSend(frames, 0.f),
      dlySend(frames, 0.f)
{
}

void Bus::add(const std::vector<float> &mono, double volume, double pan, double reverb,
              double delay)
{
    // Constant-power pan.
    const double angle = (pan + 1) * 0.25 * 3.14159265358979;
    const float gl = float(volume * std::cos(angle) * 1.41421356);
    const float gr = float(volume * std::sin(angle) * 1.41421356);
    for (std::size_t i = 0; i < length && i < mono.size(); ++i) {
        dryL[i] += mono[i] * gl;
        dryR[i] += mono[i] * gr;
        revSend[i] += float(mono[i] * volume * reverb);
        dlySend[i] += float(mono[i] * volume * delay);
    }
}

namespace
{

// The reverb and the ping-pong echo of the sends, added to the dry mix. A loop is processed
// twice round and the second pass kept: by then every tail has wrapped.
void addSends(StereoLoop &out, const std::vector<float> &revSend, const std::vector<float> &dlySend,
              double rate, double delaySeconds, std::size_t passes)
{
    const std::size_t length = revSend.size();
    Reverb reverb(rate);
    const std::size_t echo = std::max<std::size_t>(1, std::size_t(delaySeconds * rate));
    std::vector<float> echoL(echo, 0.f), echoR(echo, 0.f);
    std::size_t e = 0;
    for (std::size_t pass = 0; pass < passes; ++pass) {
        const bool keep = pass + 1 == passes;
        for (std::size_t i = 0; i < length; ++i) {
            float rl = 0, rr = 0;
            reverb.process(revSend[i], &rl, &rr);
            // Ping-pong echo: each repeat crosses to the other side, a little quieter.
            const float outL = echoL[e], outR = echoR[e];
            echoL[e] = dlySend[i] + outR * 0.38f;
            echoR[e] = outL * 0.38f;
            e = (e + 1) % echo;
            if (keep) {
                out.left[i] += rl + outL;
                out.right[i] += rr + outR;
            }
        }
    }
}

// Block DC: a pulse's uneven duty and a pluck's noise burst leave an offset that wastes
// headroom and thumps when the sound starts or stops. A loop goes round twice so the
// blocker's state at its start is the one from its end, then loses its exact mean.
void blockDc(StereoLoop &out, double rate, std::size_t passes, bool circular)
{
    const double pole = std::exp(-2 * 3.14159265358979 * 20.0 / rate);
    for (std::vector<float> *channel : {&out.left, &out.right}) {
        std::vector<float> &x = *channel;
        const std::size_t length = x.size();
        double before = 0, y = 0;
        for (std::size_t pass = 0; pass < passes; ++pass) {
            for (std::size_t i = 0; i < length; ++i) {
                const double in = x[i];
                y = in - before + pole * y;
                before = in;
                if (pass + 1 == passes)
                    x[i] = float(y);
            }
        }
        if (circular) {
            double mean = 0;
            for (float v : x)
                mean += v;
            mean /= double(std::max<std::size_t>(1, length));
            for (float &v : x)
                v = float(v - mean);
        }
    }
}

// Level to a steady loudness (RMS over both channels; a negative figure: to that peak
// instead), then round the peaks above the knee off below the ceiling, 3 dB under full
// scale, so music and an effect together still fit the system's mix.
void level(StereoLoop &out, double loudness)
{
    const std::size_t length = out.left.size();
    const double knee = 0.5, ceiling = 0.7;
    auto shape = [&](float x, double gain) {
        const double v = x * gain;
        const double a = std::fabs(v);
        if (a <= knee)
            return float(v);
        const double over = (a - knee) / (ceiling - knee);
        return float(std::copysign(knee + (ceiling - knee) * std::tanh(over), v));
    };
    auto measure = [&](double gain, double *rms, double *peak) {
        double sum = 0;
        *peak = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const double l = shape(out.left[i], gain), r = shape(out.right[i], gain);
            sum += l * l + r * r;
            *peak = std::max({*peak, std::fabs(double(out.left[i])) * gain,
                              std::fabs(double(out.right[i])) * gain});
        }
        *rms = std::sqrt(sum / double(std::max<std::size_t>(1, 2 * length)));
    };
    double rms = 0, peak = 0;
    measure(1.0, &rms, &peak);
    double gain = 1.0;
    if (loudness < 0) {
        gain = peak > 0 ? -loudness / peak : 1.0;
    } else {
        // The knee takes a little off the louder pieces: level again on what it leaves.
        for (int round = 0; round < 4 && rms > 0; ++round) {
            gain *= loudness / rms;
            measure(gain, &rms, &peak);
        }
    }
    for (std::size_t i = 0; i < length; ++i) {
        out.left[i] = shape(out.left[i], gain);
        out.right[i] = shape(out.right[i], gain);
    }
}

} // namespace

StereoLoop Bus::mix(double rate, double delaySeconds, bool circular, double loudness)
{
    StereoLoop out;
    out.left = dryL;
    out.right = dryR;
    const std::size_t passes = circular ? 2 : 1;
    addSends(out, revSend, dlySend, rate, delaySeconds, passes);
    blockDc(out, rate, passes, circular);
    level(out, loudness);
    return out;
}

bool writeWav(const std::string &path, const StereoLoop &audio, int channels, int rate, int bits)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const std::uint32_t frames = std::uint32_t(audio.left.size());
    const std::uint32_t bytesPerSample = std::uint32_t(bits / 8);
    const std::uint32_t dataSize = frames * std::uint32_t(channels) * bytesPerSample;
    auto u32 = [&](std::uint32_t v) {
        using uc = unsigned char;
        const uc b[4] = {uc(v), uc(v >> 8), uc(v >> 16), uc(v >> 24)};
        std::fwrite(b, 1, 4, f);
    };
    auto u16 = [&](std::uint32_t v) {
        using uc = unsigned char;
        const uc b[2] = {uc(v), uc(v >> 8)};
        std::fwrite(b, 1, 2, f);
    };
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + dataSize);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(std::uint32_t(channels));
    u32(std::uint32_t(rate));
    u32(std::uint32_t(rate) * std::uint32_t(channels) * bytesPerSample);
    u16(std::uint32_t(channels) * bytesPerSample);
    u16(std::uint32_t(bits));
    std::fwrite("data", 1, 4, f);
    u32(dataSize);
    std::vector<unsigned char> data;
    data.reserve(dataSize);
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            float x = channels == 1 ? 0.5f * (audio.left[i] + audio.right[i])
                                    : (c == 0 ? audio.left[i] : audio.right[i]);
            x = std::max(-1.0f, std::min(1.0f, x));
            if (bits == 8) {
                data.push_back(static_cast<unsigned char>(std::lround(128 + x * 127)));
            } else {
                const auto s = static_cast<std::int16_t>(std::lround(x * 32767));
                data.push_back(static_cast<unsigned char>(s & 0xff));
                data.push_back(static_cast<unsigned char>((s >> 8) & 0xff));
            }
        }
    }
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return (std::fclose(f) == 0) && ok;
}
