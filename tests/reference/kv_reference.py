#!/usr/bin/env python3
"""Reference figures for the signal-path tests, computed straight from the design formulas.

Run by hand after a change of the formulas; its output is the C++ header the tests include:
    python3 tests/reference/kv_reference.py > tests/reference/ReferenceFigures.h
A ctest re-runs it and compares, so the header never drifts from this script.

Everything here is written from the formulas, independently of the C++ sources: the cookbook
biquad designs and their magnitude response, the one-pole envelope coefficients, the closed-form
static gain curve, the oversampling path's gain from its frequency response, and a plain,
sample-by-sample model of the compressor's processing for the scenario tables.
"""

import cmath
import math
import sys

DBL_MIN = sys.float_info.min
LN10 = 2.302585092994046
TWOPI = 6.283185307179586
PI = 3.141592653589793
OS_GAIN = 1.9952623149688795  # 10^0.3


def flush(x):
    return 0.0 if abs(x) < DBL_MIN else x


# ----- Biquad designs -----

class Biquad:
    def __init__(self):
        self.type, self.q, self.s, self.freq, self.gain, self.rate = 6, 1.0, 1.0, 1000.0, 0.0, 44100
        self.state = [[0.0] * 4, [0.0] * 4]  # x1, x2, y1, y2 per channel
        self.design()

    def set(self, **kw):
        for k, v in kw.items():
            setattr(self, k, v)
            if k == 's':
                self.q = self.q_from_s(v)
        self.design()

    def q_from_s(self, s):
        if self.type in (0, 1):
            a = 1.0
        elif self.type in (6, 7, 8):
            a = math.sqrt(math.exp(self.gain * LN10 / 40.0))
        else:
            a = math.sqrt(math.exp(self.gain * LN10 / 20.0))
        a = flush(a)
        return flush(1.0 / math.sqrt((a + 1.0 / a) * (1.0 / s - 1.0) + 2.0))

    def design(self):
        f = self.freq if self.freq < 0.5 * self.rate else 0.499 * self.rate
        w0 = f * TWOPI / self.rate
        c, s = math.cos(w0), math.sin(w0)
        al = s / (2.0 * self.q)
        t = self.type
        if t == 0:
            b, a = [(1 - c) / 2, 1 - c, (1 - c) / 2], [1 + al, -2 * c, 1 - al]
        elif t == 1:
            b, a = [(1 + c) / 2, -(1 + c), (1 + c) / 2], [1 + al, -2 * c, 1 - al]
        elif t == 2:
            b, a = [s / 2, 0.0, -s / 2], [1 + al, -2 * c, 1 - al]
        elif t == 3:
            b, a = [al, 0.0, -al], [1 + al, -2 * c, 1 - al]
        elif t == 4:
            b, a = [1.0, -2 * c, 1.0], [1 + al, -2 * c, 1 - al]
        elif t == 5:
            b, a = [1 - al, -2 * c, 1 + al], [1 + al, -2 * c, 1 - al]
        elif t == 7 or t == 8:
            A = math.exp(self.gain * (LN10 / 40.0))
            sq = 2.0 * math.sqrt(A) * al
            if t == 7:
                b = [A * ((A + 1) - (A - 1) * c + sq), 2 * A * ((A - 1) - (A + 1) * c), A * ((A + 1) - (A - 1) * c - sq)]
                a = [(A + 1) + (A - 1) * c + sq, -2 * ((A - 1) + (A + 1) * c), (A + 1) + (A - 1) * c - sq]
            else:
                b = [A * ((A + 1) + (A - 1) * c + sq), -2 * A * ((A - 1) + (A + 1) * c), A * ((A + 1) + (A - 1) * c - sq)]
                a = [(A + 1) - (A - 1) * c + sq, 2 * ((A - 1) - (A + 1) * c), (A + 1) - (A - 1) * c - sq]
        else:
            A = math.exp(self.gain * (LN10 / 40.0))
            b, a = [1 + al * A, -2 * c, 1 - al * A], [1 + al / A, -2 * c, 1 - al / A]
        r = 1.0 / a[0]
        self.b = [flush(v * r) for v in b]
        self.a = [1.0, flush(a[1] * r), flush(a[2] * r)]

    def response_db(self, f):
        """Magnitude from the complex transfer function on the unit circle."""
        z = cmath.exp(-1j * TWOPI * f / self.rate)
        h = (self.b[0] + self.b[1] * z + self.b[2] * z * z) / (1.0 + self.a[1] * z + self.a[2] * z * z)
        return 20.0 * math.log10(abs(h))

    def h(self, w):
        z = cmath.exp(-1j * w)
        return (self.b[0] + self.b[1] * z + self.b[2] * z * z) / (1.0 + self.a[1] * z + self.a[2] * z * z)

    def process(self, ch, x):
        st = self.state[ch]
        y = flush(self.b[0] * x + self.b[1] * st[0] + self.b[2] * st[1] - self.a[1] * st[2] - self.a[2] * st[3])
        self.state[ch] = [x, st[0], y, st[2]]
        return y


def envelope_coef(ms, rate):
    return math.exp(-1000.0 / (ms * rate))


# ----- A plain model of the compressor's processing -----

PARAM_DEFAULTS = [0.0, 2.0, -40.0, 0.0, 20.0, 200.0, 20.0, 3.0, 0.0, 0, 0, 0.0, 0.0, 0, 0, 0]
THR, RATIO, RANGE, COMP, ATT, REL, RMS, KNEE, PAR, MODE, TOPO, SAG, DRIVE, OS, SC, AUTO = range(16)


class Ramp:
    def __init__(self, v):
        self.value = self.target = v
        self.inc = 0.0
        self.dir = 0

    def set_target(self, t):
        self.target = t
        self.dir = 1 if t > self.value else (-1 if t < self.value else 0)
        self.inc = 0.001 * self.dir

    def step(self):
        if self.dir == 0:
            return
        self.value += self.inc
        if (self.dir > 0 and self.value >= self.target) or (self.dir < 0 and self.value <= self.target):
            self.value, self.dir = self.target, 0


class Envelope:
    def __init__(self, att, rel, rate):
        self.att, self.rel, self.rate = att, rel, rate

    def step(self, s, x):
        c = envelope_coef(self.att if x > s else self.rel, self.rate)
        return flush(x + c * (s - x))


class Model:
    """The product as a host would drive it, sample by sample; parameter values as plain numbers."""

    def __init__(self, rate=44100.0, stereo=True, sidechain_connected=True):
        self.rate, self.stereo, self.sc_connected = rate, stereo, sidechain_connected
        self.p = list(PARAM_DEFAULTS)
        self.os_in, self.os_out, self.det1, self.det2 = Biquad(), Biquad(), Biquad(), Biquad()
        for f, hz in ((self.os_in, 24000.0), (self.os_out, 24000.0), (self.det1, 21000.0), (self.det2, 21000.0)):
            f.set(type=0, freq=hz)
            f.set(s=1.0)
            f.set(gain=0.0, rate=int(4 * rate))
        self.shelves = {}
        for name, t, hz, g, s in (('lo', 7, 20.0, -17.0, 0.1), ('hi', 8, 20000.0, 13.0, 0.1), ('lo3', 7, 40.0, -10.0, 0.4),
                                  ('hi3', 8, 8000.0, 11.0, 0.4), ('lo4', 7, 20.0, -15.0, 0.35)):
            f = Biquad()
            f.set(type=t, freq=hz, gain=g)
            f.set(s=s)
            f.set(rate=int(rate))
            self.shelves[name] = f
        self.ramps = {THR: Ramp(0.0), KNEE: Ramp(0.0), RANGE: Ramp(-40.0), PAR: Ramp(0.0), COMP: Ramp(0.0)}
        self.fb = [0.0, 0.0]
        self.release = 200.0
        self.follower_release = 30.0
        self.reset()
        self.change(THR)

    def os(self):
        return int(math.floor(self.p[OS] + 0.5)) == 1

    def det_rate(self):
        return 4.0 * self.rate if self.os() else self.rate

    def set_rates(self):
        for f in self.shelves.values():
            f.set(rate=int(self.det_rate()))

    def reset(self):
        self.env_db, self.avg = 1e-15, 1e-15
        self.gr_db, self.gr_lin = 0.0, 1.0
        self.set_rates()
        for f in (self.os_in, self.os_out, self.det1, self.det2):
            f.set(rate=int(4 * self.rate))
        self.follower = self.in_meter = self.out_meter = self.gr_meter = 0.0
        for k, r in self.ramps.items():
            r.value = r.target = self.p[k]
            r.dir = 0
        for i in range(16):
            self.change(i)
        self.controls()

    def set(self, idx, v):
        self.p[idx] = v
        self.change(idx)

    def change(self, i):
        v = self.p[i]
        if i in self.ramps:
            self.ramps[i].set_target(v)
        elif i == REL:
            self.release = v
        elif i == MODE:
            m = int(math.floor(v + 0.5))
            if m in (0, 1):
                lo, hi = self.shelves['lo'], self.shelves['hi']
                lo.set(freq=20.0 if m == 0 else 100.0, gain=-19.0 if m == 0 else -14.0)
                lo.set(s=0.1 if m == 0 else 0.4)
                hi.set(freq=20000.0 if m == 0 else 12000.0, gain=19.0 if m == 0 else 16.0)
                hi.set(s=0.1 if m == 0 else 0.4)
        elif i == OS:
            self.set_rates()
        elif i == AUTO and int(math.floor(v + 0.5)) == 0:
            self.release = self.p[REL]

    def shaper(self, i):
        b = math.pow(1.11, self.p[i]) / math.pow(1.11, 100.0)
        if i == DRIVE:
            b = 0.3 * math.pow(1.11, self.p[i]) / math.pow(1.11, 100.0)
        return b, 1.0 / (1.0 - b / 2.0), b / 2.0

    def controls(self):
        for k in (THR, KNEE, RANGE, PAR, COMP):
            self.ramps[k].step()
        self.thr, self.knee = self.ramps[THR].value, self.ramps[KNEE].value
        self.range = -self.ramps[RANGE].value
        self.par = self.ramps[PAR].value / 100.0
        self.makeup = math.exp(0.11512925464970228 * self.ramps[COMP].value)

    def sub_step(self, j, x):
        self.controls()
        R4 = self.det_rate()
        L, R, S0, S1 = (flush(v) for v in x) if j == 0 else (0.0, 0.0, 0.0, 0.0)
        st = self.stereo
        if not st:
            R = S1 = 0.0
        if self.os():
            L = self.os_in.process(0, L)
            if st:
                R = self.os_in.process(1, R)
            L, R, S0, S1 = L * OS_GAIN, R * OS_GAIN, S0 * OS_GAIN, S1 * OS_GAIN
        dry = (L, R)
        topo = int(math.floor(self.p[TOPO] + 0.5))
        if topo == 0:
            self.fb = [L, R]
        if int(math.floor(self.p[SC] + 0.5)) >= 1 and self.sc_connected:
            d = [flush(S0), flush(S1)]
        else:
            d = list(self.fb)
        driven = [L, R]
        if self.p[DRIVE] > 0:
            b, k1, k2 = self.shaper(DRIVE)
            for c in range(2):
                y = driven[c] * k1 * (1.0 - abs(driven[c] * k2))
                driven[c] = (1.0 - 1.5 * b) * y + 1.5 * b * math.sin(y * PI / 2.0)
        mode = int(math.floor(self.p[MODE] + 0.5))
        chain = {0: ('lo', 'hi'), 1: ('lo', 'hi'), 2: ('lo3', 'hi3'), 3: ('lo4',)}.get(mode, ())
        for c in range(2 if st else 1):
            for name in chain:
                d[c] = self.shelves[name].process(c, d[c])
        if self.p[SAG] > 0:
            _, k1, k2 = self.shaper(SAG)
            for c in range(2 if st else 1):
                d[c] = flush(math.sin(d[c] * k1 * (1.0 - abs(d[c] * k2)) * PI / 2.0))
        if self.os():
            for c in range(2 if st else 1):
                d[c] = self.det2.process(c, self.det1.process(c, d[c])) * OS_GAIN
        m = flush(d[0] * d[0] + d[1] * d[1] if st else 2.0 * (d[0] * d[0]))
        self.avg = flush(m + envelope_coef(self.p[RMS], R4) * (self.avg - m))
        over = max(0.0, math.log(abs(math.sqrt(self.avg))) * 8.685889638065037 - self.thr) if self.avg > 0 else 0.0
        over = flush(over)
        c = envelope_coef(self.p[ATT] if over > self.env_db else self.release, R4)
        self.env_db = flush(over + c * (self.env_db - over))
        auto = int(math.floor(self.p[AUTO] + 0.5))
        if auto != 3:
            over = self.env_db
        q = over / self.knee if (self.knee > 0 and over / self.knee < 1) else 1.0
        gr = -over * ((self.p[RATIO] - 1.0) / self.p[RATIO]) * q
        if gr <= -self.range:
            gr = -self.range
        self.gr_db, self.gr_lin = gr, math.exp(0.11512925464970228 * gr)
        x = flush(-gr)
        c = envelope_coef(0.01 if x > self.gr_meter else 300.0, R4)
        self.gr_meter = flush(x + c * (self.gr_meter - x))
        if auto != 0:
            x = 0.0 if gr > 0 else -gr
            c = envelope_coef(12.0 if x > self.follower else self.follower_release, R4)
            self.follower = flush(x + c * (self.follower - x))
            if x > self.follower:
                self.follower = x
                t = max(2.0 * x, 12.0) if auto == 1 else max(0.8 * x, 12.0)
                self.release = self.follower_release = t
        if topo == 1:
            self.fb = [self.gr_lin * driven[0], self.gr_lin * driven[1]]
        out = [(1.0 - self.par) * (self.makeup * (self.gr_lin * driven[c])) + self.par * dry[c] for c in range(2)]
        if self.os():
            for c in range(2 if st else 1):
                out[c] = self.os_out.process(c, out[c])
        return out

    def meter_step(self, s, x):
        c = envelope_coef(0.01 if x > s else 300.0, self.rate)
        return flush(x + c * (s - x))

    def frame(self, x):
        lvl = max(abs(x[0]), abs(x[1])) if self.stereo else abs(x[0])
        self.in_meter = self.meter_step(self.in_meter, flush(lvl))
        j = 0
        out = [0.0, 0.0]
        while j < (4 if self.os() else 1):
            out = self.sub_step(j, x)
            j += 1
        if self.os():
            out = [v * OS_GAIN for v in out]
        lvl = max(abs(out[0]), abs(out[1])) if self.stereo else abs(out[0])
        self.out_meter = self.meter_step(self.out_meter, flush(lvl))
        return out

    def meters(self):
        def level(e):
            if e < 1e-15 or 20 * math.log10(e) < -60:
                j = 0.0
            elif 20 * math.log10(e) > 0:
                j = 60.0
            else:
                j = 20 * math.log10(e) + 60
            return (j / 60) ** 2
        x = -self.gr_meter
        x = (40.0 if x > 0 else x + 40.0) if x >= -40 else 0.0
        return [level(self.in_meter), level(self.out_meter), 1 - (x / 40) ** 2]


# ----- Signals shared with the C++ tests (same formulas, same evaluation order) -----

def test_signal(n):
    """Stereo program with a sidechain pair: two sines under a slow rise, a burst at 1500."""
    lift = 0.2 + 0.8 * math.sin(PI * n / 4096.0) ** 2
    l = lift * (0.6 * math.sin(TWOPI * 220.0 * n / 44100.0) + 0.25 * math.sin(TWOPI * 3100.0 * n / 44100.0))
    r = lift * (0.5 * math.sin(TWOPI * 330.0 * n / 44100.0) + 0.2 * math.sin(TWOPI * 5200.0 * n / 44100.0))
    burst = 0.9 if 1500 <= n < 1700 else 0.05
    return (l, r, burst * math.sin(TWOPI * 90.0 * n / 44100.0), burst * math.sin(TWOPI * 120.0 * n / 44100.0))


# ----- Output -----

def num(v):
    if v == math.inf:
        return 'kInf'
    if v == -math.inf:
        return '-kInf'
    s = repr(float(v))
    return s if ('e' in s or '.' in s) else s + '.0'


def main():
    out = []
    w = out.append
    w('#pragma once')
    w('// Generated by tests/reference/kv_reference.py from the design formulas; do not edit by hand.')
    w('')
    w('#include <limits>')
    w('')
    w('namespace ref')
    w('{')
    w('constexpr double kInf = std::numeric_limits<double>::infinity();')
    w('')

    # Filter designs: type, freq, gain, S (0: Q given instead), Q, rate; then b0 b1 b2 a1 a2 and the
    # response at 100, 1000, 5000, 15000 Hz.
    cases = [
        (0, 24000.0, 0.0, 1.0, 0.0, 176400), (0, 1000.0, 0.0, 0.0, 0.7071, 44100), (1, 1000.0, 0.0, 0.0, 0.7071, 44100),
        (2, 1000.0, 6.0, 0.0, 2.0, 44100), (3, 1000.0, 6.0, 0.0, 2.0, 44100), (4, 1200.0, 6.0, 0.0, 2.0, 44100),
        (5, 1000.0, 6.0, 0.0, 0.7071, 44100), (6, 1000.0, 6.0, 0.0, 1.0, 44100), (7, 200.0, -12.0, 1.0, 0.0, 44100),
        (8, 5000.0, 9.0, 0.5, 0.0, 44100), (-1, 1000.0, 6.0, 0.0, 1.0, 44100), (9, 1000.0, -6.0, 0.0, 1.0, 44100),
        (8, 20000.0, 19.0, 0.1, 0.0, 32000), (0, 24000.0, 0.0, 1.0, 0.0, 32000),
    ]
    freqs = [100.0, 1000.0, 5000.0, 15000.0]
    w('struct FilterCase { int type; double freq, gain, s, q; long rate; double q_out, b0, b1, b2, a1, a2, resp[4]; };')
    w('const FilterCase kFilterCases[] = {')
    for t, f, g, s, q, rate in cases:
        bq = Biquad()
        bq.set(type=t, freq=f, gain=g, rate=rate)
        if s:
            bq.set(s=s)
        else:
            bq.set(q=q)
        resp = [bq.response_db(x) for x in freqs]
        vals = [bq.q] + bq.b + bq.a[1:] 
        w('  { %d, %s, %s, %s, %s, %d, %s, { %s } },' % (t, num(f), num(g), num(s), num(q), rate,
                                                       ', '.join(num(v) for v in vals), ', '.join(num(v) for v in resp)))
    w('};')
    w('const double kFilterResponseFreqs[4] = { %s };' % ', '.join(num(f) for f in freqs))
    bq = Biquad()
    bq.set(type=0, freq=24000.0)
    bq.set(s=1.0)
    bq.set(rate=176400)
    w('const double kLowPassCornerDb = %s;  // 24 kHz, S 1, at 176400 Hz' % num(bq.response_db(24000.0)))
    # Q for a bandwidth of one octave at 1 kHz, 44100 Hz.
    w0 = 1000.0 * TWOPI / 44100
    w('const double kOneOctaveQ = %s;' % num(1.0 / (2.0 * math.sinh(math.log(2.0) / 2.0 * 1.0 * w0 / math.sin(w0)))))
    w('')

    # Shelves of the product: Q that SetS derives for the gain in force.
    w('struct ShelfQ { int type; double gain, s, q; };')
    w('const ShelfQ kShelfQs[] = {')
    for t, g, s in ((7, -19.0, 0.1), (8, 19.0, 0.1), (7, -14.0, 0.4), (8, 16.0, 0.4), (7, -10.0, 0.4), (8, 11.0, 0.4),
                    (7, -15.0, 0.35), (7, -17.0, 0.1), (8, 13.0, 0.1), (7, 0.0, 1.0)):
        bq = Biquad()
        bq.set(type=t, gain=g)
        w('  { %d, %s, %s, %s },' % (t, num(g), num(s), num(bq.q_from_s(s))))
    w('};')
    w('')

    # Envelope coefficients and the step response's 1 - 1/e crossing.
    w('struct EnvelopeCoef { double ms, rate, coef; int samplesTo63; };')
    w('const EnvelopeCoef kEnvelopeCoefs[] = {')
    for ms, rate in ((0.01, 44100.0), (1.0, 44100.0), (12.0, 44100.0), (20.0, 44100.0), (30.0, 44100.0),
                     (300.0, 44100.0), (5.0, 176400.0), (100.0, 48000.0)):
        c = envelope_coef(ms, rate)
        # s_n = 1 - c^n after n steps from 0 toward 1: the first n with s_n >= 1 - 1/e
        n = math.ceil(1.0 / (-math.log(c))) if c > 0 else 1
        w('  { %s, %s, %s, %d },' % (num(ms), num(rate), num(c), n))
    w('};')
    w('')

    # Static gain curve on DC, closed form; the model below must agree (checked here).
    def static_gr(level_db, thr, ratio, knee, rng, topo):
        def gr_for(key):
            over = max(0.0, key - thr)
            q = over / knee if (knee > 0 and over / knee < 1) else 1.0
            return max(-over * ((ratio - 1.0) / ratio) * q, -rng)
        if topo == 0:
            return gr_for(level_db)
        lo, hi = -rng - 1.0, 0.0  # feedback: the detector hears the reduced level; solve g = gr(L + g)
        for _ in range(200):
            mid = 0.5 * (lo + hi)
            if gr_for(level_db + mid) - mid > 0:
                lo = mid
            else:
                hi = mid
        return 0.5 * (lo + hi)

    w('// DC into both channels (or one, mono), "Mode" Flat, times short enough to settle in 0.5 s.')
    w('struct StaticCase { double dc, threshold, ratio, knee, range; int topology; bool stereo; double grDb, outGain; };')
    w('const StaticCase kStaticCases[] = {')
    for dc, thr, ratio, knee, rng, topo, stereo in (
            (0.5, -20.0, 4.0, 0.0, 40.0, 0, True), (0.5, -20.0, 4.0, 0.0, 40.0, 0, False), (0.1, -20.0, 4.0, 0.0, 40.0, 0, True),
            (0.05, -20.0, 4.0, 0.0, 40.0, 0, True), (0.5, -10.0, 2.0, 6.0, 40.0, 0, True), (0.5, -30.0, 20.0, 0.0, 10.0, 0, True),
            (0.5, -30.0, 20.0, 0.0, 0.0, 0, True), (0.5, -30.0, 1.0, 0.0, 40.0, 0, True), (0.5, -20.0, 4.0, 0.0, 40.0, 1, True),
            (0.5, -20.0, 4.0, 0.0, 40.0, 1, False), (0.3, -25.0, 8.0, 10.0, 40.0, 1, True), (0.25, -9.0, 20.0, 20.0, 40.0, 0, True),
            (0.08, -20.0, 4.0, 6.0, 40.0, 0, True)):
        level = 20.0 * math.log10(dc * math.sqrt(2.0))  # two channels (or one counted twice) of DC
        gr = static_gr(level, thr, ratio, knee, rng, topo)
        mdl = Model(stereo=stereo)
        for i, v in ((THR, thr), (RATIO, ratio), (KNEE, knee), (RANGE, -rng), (TOPO, topo), (MODE, 4), (ATT, 1.0),
                     (REL, 10.0), (RMS, 1.0)):
            mdl.p[i] = v
        mdl.reset()
        o = [0.0, 0.0]
        for _ in range(22050):
            o = mdl.frame((dc, dc, 0.0, 0.0))
        assert abs(mdl.gr_db - gr) < 1e-6, (dc, thr, ratio, knee, rng, topo, mdl.gr_db, gr)
        w('  { %s, %s, %s, %s, %s, %d, %s, %s, %s },' % (num(dc), num(thr), num(ratio), num(knee), num(-rng), topo,
                                                       'true' if stereo else 'false', num(gr), num(10 ** (gr / 20.0))))
    w('};')
    w('')

    # The 4x path for DC: zero-stuffing keeps a quarter of the level at DC and puts images at
    # multiples of the base rate; the decimation reads the fourth sub-step. Its DC gain follows from
    # the two low-passes' response at the four phases of the sub-step period.
    lp = Biquad()
    lp.set(type=0, freq=24000.0)
    lp.set(s=1.0)
    lp.set(rate=176400)
    gain = 0.0
    for k in range(4):
        wk = TWOPI * k / 4.0
        gain += (0.25 * lp.h(wk) * lp.h(wk) * cmath.exp(1j * wk * 3)).real
    gain *= OS_GAIN * OS_GAIN
    mdl = Model()
    mdl.p[RATIO], mdl.p[OS] = 1.0, 1
    mdl.reset()
    for _ in range(4000):
        o = mdl.frame((0.1, 0.1, 0.0, 0.0))
    assert abs(o[0] / 0.1 - gain) < 1e-12, (o[0] / 0.1, gain)
    w('const double kOversampleDcGain = %s;  // input to output, 44100 Hz' % num(gain))
    w('')

    # Drive and Sag: the shapers' values for a DC level.
    def driven(x, v):
        b = 0.3 * math.pow(1.11, v) / math.pow(1.11, 100.0)
        k1, k2 = 1.0 / (1.0 - b / 2.0), b / 2.0
        y = x * k1 * (1.0 - abs(x * k2))
        return (1.0 - 1.5 * b) * y + 1.5 * b * math.sin(y * PI / 2.0)

    def sagged(x, v):
        b = math.pow(1.11, v) / math.pow(1.11, 100.0)
        k1, k2 = 1.0 / (1.0 - b / 2.0), b / 2.0
        return math.sin(x * k1 * (1.0 - abs(x * k2)) * PI / 2.0)

    w('struct ShaperCase { double x, amount, driven, sagged; };')
    w('const ShaperCase kShaperCases[] = {')
    for x, v in ((0.5, 50.0), (0.5, 100.0), (0.9, 100.0), (-0.3, 75.0), (0.5, 0.01), (1.8, 100.0)):
        w('  { %s, %s, %s, %s },' % (num(x), num(v), num(driven(x, v)), num(sagged(x, v))))
    w('};')
    w('')

    # Meter values for a settled linear level and a settled reduction.
    def level_meter(e):
        db = 20 * math.log10(e)
        j = 0.0 if (e < 1e-15 or db < -60) else (60.0 if db > 0 else db + 60)
        return (j / 60) ** 2
    w('struct MeterCase { double level, value; };')
    w('const MeterCase kLevelMeterCases[] = {')
    for e in (0.5, 1.0, 2.0, 0.001, 0.0005, 0.25):
        w('  { %s, %s },' % (num(e), num(level_meter(e))))
    w('};')
    w('const MeterCase kReductionMeterCases[] = {')
    for r in (0.0, 6.0, 10.0, 20.0, 40.0, 55.0):
        x = -r
        x = (40.0 if x > 0 else x + 40.0) if x >= -40 else 0.0
        w('  { %s, %s },' % (num(r), num(1 - (x / 40) ** 2)))
    w('};')
    w('')

    # Scenarios: the test signal through the model, in 512-frame blocks; selected output samples and
    # the meter values after the last block.
    picks = [0, 1, 100, 511, 512, 1000, 1499, 1600, 1750, 2047]
    scenarios = [
        ('defaults', True, True, []),
        ('compressing', True, True, [(THR, -24.0), (RATIO, 6.0), (KNEE, 4.0), (ATT, 2.0), (REL, 80.0), (RMS, 5.0), (COMP, 4.0)]),
        ('all stages', True, True, [(THR, -20.0), (RATIO, 4.0), (RANGE, -18.0), (KNEE, 6.0), (ATT, 3.0), (REL, 120.0), (RMS, 8.0),
                                   (PAR, 25.0), (COMP, 3.0), (MODE, 1), (TOPO, 1), (SAG, 40.0), (DRIVE, 60.0), (AUTO, 2)]),
        ('all stages oversampled', True, True, [(THR, -20.0), (RATIO, 4.0), (RANGE, -18.0), (KNEE, 6.0), (ATT, 3.0), (REL, 120.0),
                                               (RMS, 8.0), (PAR, 25.0), (COMP, 3.0), (MODE, 2), (TOPO, 0), (SAG, 40.0),
                                               (DRIVE, 60.0), (OS, 1), (AUTO, 1)]),
        ('sidechain mode IV', True, True, [(THR, -30.0), (RATIO, 10.0), (ATT, 0.5), (REL, 50.0), (RMS, 2.0), (MODE, 3), (SC, 1)]),
        ('mono sidechain zorl', False, True, [(THR, -30.0), (RATIO, 3.0), (RMS, 3.0), (SC, 1), (AUTO, 3), (MODE, 0)]),
        ('sidechain unconnected', True, False, [(THR, -30.0), (RATIO, 10.0), (ATT, 0.5), (REL, 50.0), (RMS, 2.0), (MODE, 3), (SC, 1)]),
        ('ramping', True, True, 'ramp'),
    ]
    w('enum { kScenarioPicks = %d, kScenarioFrames = 2048 };' % len(picks))
    w('const int kScenarioPickIdx[kScenarioPicks] = { %s };' % ', '.join(str(p) for p in picks))
    w('struct ParamSetting { int idx; double value; };')
    w('struct Scenario { const char* name; bool stereo, sidechainConnected, ramped; int nSettings; ParamSetting settings[16];')
    w('                  double outL[kScenarioPicks], outR[kScenarioPicks], meters[3], grDb; };')
    w('const Scenario kScenarios[] = {')
    for name, stereo, scc, settings in scenarios:
        mdl = Model(stereo=stereo, sidechain_connected=scc)
        ramped = settings == 'ramp'
        if ramped:
            # Set after construction without a reset: threshold, knee, range, parallel and
            # compensation glide at 0.001 per sample.
            settings = [(THR, -6.0), (RATIO, 3.0), (COMP, 1.5), (PAR, 0.4), (KNEE, 0.8), (RANGE, -39.5)]
            for i, v in settings:
                mdl.set(i, v)
        else:
            for i, v in settings:
                mdl.p[i] = v
            mdl.reset()
        ol, orr = [], []
        for n in range(2048):
            o = mdl.frame(test_signal(n))
            ol.append(o[0])
            orr.append(o[1])
        w('  { "%s", %s, %s, %s, %d, { %s },' % (name, 'true' if stereo else 'false', 'true' if scc else 'false',
                                              'true' if ramped else 'false', len(settings),
                                              ', '.join('{ %d, %s }' % (i, num(v)) for i, v in settings)))
        w('    { %s },' % ', '.join(num(ol[p]) for p in picks))
        w('    { %s },' % ', '.join(num(orr[p] if stereo else 0.0) for p in picks))
        w('    { %s }, %s },' % (', '.join(num(v) for v in mdl.meters()), num(mdl.gr_db)))
    w('};')
    w('}  // namespace ref')
    print('\n'.join(out))


if __name__ == '__main__':
    main()
