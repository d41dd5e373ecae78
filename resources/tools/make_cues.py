#!/usr/bin/python3
"""Writes the ten cue sounds as 8-bit mono PCM WAVE files.

Run from anywhere: ./make_cues.py [OUTDIR]  (default: ../wave beside this script).
Deterministic: the same script always writes the same bytes.
"""
import math
import os
import struct
import sys

TAU = 2 * math.pi


def note(freq, t, partials=((1, 1.0),)):
    return sum(a * math.sin(TAU * freq * k * t) for k, a in partials)


def env_adsr(t, length, attack=0.005, release=0.02):
    """Soft start and end so no cue clicks unless it is meant to."""
    g = 1.0
    if t < attack:
        g = t / attack
    if t > length - release:
        g = min(g, max(0.0, (length - t) / release))
    return g


def bell(freq, t, rate):
    # Inharmonic partials, the higher ones dying faster: a small bell. Partials above half the
    # sample rate would fold back as off-key tones, so they are left out.
    out = 0.0
    for ratio, amp, decay in ((1.0, 1.0, 5), (2.76, 0.5, 9), (5.40, 0.25, 14)):
        if freq * ratio < rate / 2:
            out += amp * math.sin(TAU * freq * ratio * t) * math.exp(-decay * t)
    return out


def tones(seq, t):
    """seq: (start, duration, freq) notes with a quick decay each."""
    out = 0.0
    for start, dur, freq in seq:
        if start <= t < start + dur:
            u = t - start
            out += note(freq, u, ((1, 1.0), (2, 0.3), (3, 0.1))) * math.exp(-3 * u) \
                * env_adsr(u, dur, 0.004, 0.03)
    return out


def my_ok(t, n):
    return 0.7 * tones([(0.0, 0.16, 659.25), (0.14, 0.36, 880.0)], t)


def my_ohoh(t, n):
    # "uh-oh": two falling vowels with a slight wobble.
    out = 0.0
    for start, dur, freq in ((0.0, 0.17, 392.0), (0.2, 0.23, 311.1)):
        if start <= t < start + dur:
            u = t - start
            f = freq * (1 + 0.01 * math.sin(TAU * 6 * u))
            out += note(f, u, ((1, 1.0), (2, 0.45), (3, 0.25), (4, 0.1))) \
                * env_adsr(u, dur, 0.01, 0.05)
    return 0.5 * out


def click(freq, decay):
    def f(t, n):
        return math.sin(TAU * freq * t) * math.exp(-decay * t)
    return f


def my_goodbye(t, n):
    return 0.6 * tones([(0.0, 0.18, 1046.5), (0.14, 0.18, 783.99), (0.28, 0.18, 659.25),
                        (0.42, 0.19, 523.25)], t)


def my_ding(t, n):
    return 0.6 * bell(1318.5, t, n[0]) * env_adsr(t, 0.52, 0.001, 0.05)


def my_tada(t, n):
    out = 0.0
    if t < 0.16:  # "ta"
        out += sum(note(f, t, ((1, 1.0), (2, 0.4), (3, 0.2))) for f in (392.0, 493.9, 587.3)) \
            * env_adsr(t, 0.16, 0.005, 0.04)
    if t >= 0.22:  # "DA", held and fading
        u = t - 0.22
        out += sum(note(f, u, ((1, 1.0), (2, 0.4), (3, 0.2)))
                   for f in (523.25, 659.25, 783.99, 1046.5)) \
            * math.exp(-1.8 * u) * env_adsr(u, 1.25 - 0.22, 0.008, 0.08)
    return 0.22 * out


def my_chimes(t, n):
    out = 0.0
    for start, freq in ((0.0, 1568.0), (0.18, 1318.5), (0.36, 1046.5)):
        if t >= start:
            out += bell(freq, t - start, n[0])
    return 0.33 * out * env_adsr(t, 0.96, 0.001, 0.08)


def sweep(f0, f1):
    def f(t, n):
        length = n[1]
        phase = TAU * (f0 * t + (f1 - f0) * t * t / (2 * length))
        return 0.6 * math.sin(phase) * env_adsr(t, length, 0.004, 0.012)
    return f


# name: (sample rate, sample count, generator)
CUES = {
    "MYOK": (11025, round(0.50 * 11025 + 0.5), my_ok),
    "MYOHOH": (8000, round(0.43 * 8000), my_ohoh),
    "MYTICK": (22050, 31, click(3200, 900)),
    "MYTOCK": (22050, 61, click(1400, 350)),
    "MYGOODBYE": (22050, round(0.61 * 22050 + 0.5), my_goodbye),
    "MYDING": (22050, round(0.52 * 22050), my_ding),
    "MYTADA": (22050, round(1.25 * 22050 + 0.5), my_tada),
    "MYCHIMES": (11000, round(0.96 * 11000), my_chimes),
    "MYOPEN": (11025, round(0.066 * 11025), sweep(600, 1400)),
    "MYCLOSE": (11025, round(0.034 * 11025), sweep(1400, 600)),
}


def render(rate, count, gen):
    length = count / rate
    xs = [gen(i / rate, (rate, length)) for i in range(count)]
    # Every cue peaks at the same level: loud enough, never clipped.
    peak = max(abs(x) for x in xs) or 1.0
    scale = 0.85 / peak
    return bytes(max(0, min(255, 128 + round(127 * x * scale))) for x in xs)  # unsigned 8-bit


def wave_file(rate, samples):
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)  # PCM, mono, 8 bits
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(samples)) + samples
    if len(samples) % 2:
        body += b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "wave")
    os.makedirs(out, exist_ok=True)
    for name, (rate, count, gen) in CUES.items():
        with open(os.path.join(out, name + ".wav"), "wb") as f:
            f.write(wave_file(rate, render(rate, count, gen)))
        print(f"{name}.wav  {count} samples  {rate} Hz  {count / rate * 1000:.0f} ms")


if __name__ == "__main__":
    main()
