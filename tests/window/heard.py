"""What a recording of the null sink's monitor (s16le, stereo, 44100 Hz) holds, matched against
the game's own recordings.

  heard.py effects REC FROM TO DIR NAME...
      Bytes FROM to TO of REC explained as the named effects (their recordings in DIR, one name
      per start the game's log shows) placed and scaled one by one where each fits best. Prints one
      line per name: the name, how often it was heard and its best match (1 is the recording
      itself). An effect counts as heard where, the others taken away, the sink gave its wave.
  heard.py crossfade REC OLD NEW
      Where the track NEW starts in REC and, around it, how loud each of OLD and NEW plays (by
      least squares over 10 ms stretches, against each one's own level away from the change).
      Prints the mix's least and greatest power relative to a track alone (dB), the fade-out of
      OLD and the fade-in of NEW (ms), and how much of the recording the two tracks explain.
"""
import pathlib
import sys
import wave

import numpy as np

RATE = 44100
# A match this close (normalized correlation) is the effect's own wave, not a like sound.
HEARD = 0.9


def key(name):
    return name.lower().replace("-", "").replace("_", "")


def mono_raw(path, first=0, last=None):
    data = np.fromfile(path, "<i2", offset=first - first % 4)
    if last is not None:
        data = data[: (last - first + first % 4) // 2]
    return data[: len(data) // 2 * 2].reshape(-1, 2).mean(axis=1) / 32768.0


def mono_wav(path):
    with wave.open(path) as w:
        n, rate, width = w.getnchannels(), w.getframerate(), w.getsampwidth()
        raw = w.readframes(w.getnframes())
    x = (np.frombuffer(raw, np.uint8) - 128.0) / 128 if width == 1 else np.frombuffer(raw, "<i2") / 32768.0
    x = x[: len(x) // n * n].reshape(-1, n).mean(axis=1)
    if rate != RATE:
        x = np.interp(np.arange(len(x) * RATE // rate) * rate / RATE, np.arange(len(x)), x)
    return x


def correlate(rec, s):
    """Normalized correlation of s at every offset of rec, and the plain dot products."""
    n = 1 << int(np.ceil(np.log2(len(rec) + len(s))))
    dot = np.fft.irfft(np.fft.rfft(rec, n) * np.conj(np.fft.rfft(s, n)), n)[: len(rec) - len(s) + 1]
    energy = np.concatenate([[0], np.cumsum(rec * rec)])
    window = energy[len(s):] - energy[: -len(s)]
    # A floor of -70 dBFS keeps silence from matching anything.
    return dot / (np.linalg.norm(s) * np.sqrt(np.maximum(window, 1e-7 * len(s)))), dot


def like(name, files):
    """How close an effect must match to be told from the archive's other recordings: 0.1 closer
    than it comes to any of them, and never under 0.6 nor above HEARD."""
    s = mono_wav(files[key(name)])
    closest = 0.0
    for other, path in files.items():
        t = mono_wav(path)
        if other != key(name) and len(t) > 0:
            padded = np.concatenate([np.zeros(len(s)), t, np.zeros(len(s))])
            closest = max(closest, correlate(padded, s)[0].max())
    return min(HEARD, max(0.6, closest + 0.1))


def effects(rec_path, first, last, folder, names):
    rec = mono_raw(rec_path, int(first), int(last))
    # The log names a recording as its member does ("samegame24" for "samegame2-4.wav").
    files = {key(f.name[:-4]): str(f) for f in pathlib.Path(folder).glob("*.wav")}
    waves = {name: mono_wav(files[key(name)]) for name in set(names)}
    waves = {name: s for name, s in waves.items() if len(s) < len(rec)}
    residual = rec.copy()
    picks = []
    # Matching pursuit: the best fitting effect taken away at a time, a few more times than the
    # log has starts, so that overlapping effects come apart.
    # The pick is the effect and place that explain the most energy.
    for _ in range(len(names) + 4):
        best = None
        for name, s in waves.items():
            _, dot = correlate(residual, s)
            at = int(np.argmax(dot))
            explained = dot[at] / np.linalg.norm(s)
            if best is None or explained > best[0]:
                best = (explained, name, at, dot[at] / np.dot(s, s))
        # Nothing left above -60 dBFS.
        if best is None or best[0] < 1e-3 * np.sqrt(RATE / 10):
            break
        _, name, at, gain = best
        residual[at : at + len(waves[name])] -= gain * waves[name]
        picks.append((name, at, gain))
    # Each pick judged on what is left once every other pick is taken away: heard when it
    # matches closer than the effect comes to any other recording of the archive.
    heard = {name: [0, 0.0, like(name, files)] for name in sorted(set(names))}
    for name, at, gain in picks:
        s = waves[name]
        x = residual[at : at + len(s)] + gain * s
        match = np.dot(x, s) / (np.linalg.norm(x) * np.linalg.norm(s) + 1e-12)
        heard[name][1] = max(heard[name][1], match)
        if match >= heard[name][2] and gain > 0.05:
            heard[name][0] += 1
    for name, (count, match, _) in heard.items():
        print("%s %d %.3f" % (name, count, match))


def crossfade(rec_path, old_path, new_path):
    rec, old, new = mono_raw(rec_path), mono_wav(old_path), mono_wav(new_path)
    # The new track from its start: its second second, found in the recording.
    probe = new[RATE : 2 * RATE]
    ncc, _ = correlate(rec, probe)
    start = int(np.argmax(ncc)) - RATE
    if ncc.max() < HEARD or start < RATE:
        sys.exit("the new track was not found in the recording (match %.2f)" % ncc.max())
    # The old track's place: the stretch ending 0.3 s before the change, found in the loop.
    seen = rec[start - RATE : start - RATE * 3 // 10]
    loop = np.concatenate([old, old[: 3 * RATE]])
    ncc, _ = correlate(loop, seen)
    place = int(np.argmax(ncc)) - (start - RATE)
    if ncc.max() < HEARD:
        sys.exit("the old track was not found in the recording (match %.2f)" % ncc.max())
    step = RATE // 100
    begin, end = start - RATE // 2, min(len(rec), start + RATE) // step * step
    gains = []
    unexplained = 0.0
    for at in range(begin, end - step + 1, step):
        a = loop[(at + place) % len(old) :][:step]
        b = new[at - start : at - start + step] if at >= start else np.zeros(step)
        r = rec[at : at + step]
        basis = np.stack([a, b], axis=1)
        fit = np.linalg.lstsq(basis, r, rcond=None)[0]
        unexplained += np.sum((r - basis @ fit) ** 2)
        gains.append(fit)
    gains = np.array(gains)
    explained = 1 - unexplained / np.sum(rec[begin:end] ** 2)
    # Each track's own level: the old one before the change, the new one once it is in.
    g_old = np.median(gains[:30, 0])
    g_new = np.median(gains[-30:, 1])
    a, b = gains[:, 0] / g_old, gains[:, 1] / g_new
    power = 10 * np.log10(np.maximum(a * a + b * b, 1e-6))
    out = np.nonzero(a < 0.9)[0]
    fade_out = (np.nonzero(a > 0.1)[0].max() - out.min() + 1) * 10 if len(out) else 0
    fade_in = (np.nonzero(b < 0.9)[0].max() - np.nonzero(b > 0.1)[0].min() + 1) * 10
    print("%.1f %.1f %d %d %.3f" % (power.min(), power.max(), fade_out, fade_in, explained))


if __name__ == "__main__":
    if sys.argv[1] == "effects":
        effects(*sys.argv[2:6], sys.argv[6:])
    else:
        crossfade(*sys.argv[2:5])
