#!/usr/bin/env python3
"""Plants one fault at a time in games/ and tells whether the game's own tests notice.

Each fault is one line changed: a number altered, a comparison flipped, a condition negated, a
conditional's branches swapped, or a call removed. The tree is rebuilt incrementally, the tests
that belong to the changed folder run under a timeout (with the game list's, which starts every
game), and the file is put back. With --window a fault those miss is tried on the folder's window
tests too, as ./test runs both. A fault whose build fails is replaced by another. The choice is
seeded, so a run can be repeated on other tests.

  tools/plant_faults.py --build build --count 55 --sample kinds --seed 25 --window --out kinds.txt
  tools/plant_faults.py --build build --count 40 --sample random --seed 25 --window --out random.txt
  tools/plant_faults.py --build build --recheck random.txt --out random-again.txt

--recheck plants again the faults a previous run missed, to see whether newer tests catch them.

--sample kinds takes the same number of faults from every game folder, a third of them in the
drawing code; --sample random draws uniformly from every fault site in games/.
"""
import argparse
import os
import random
import re
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

GAMES = ['janken', 'samegame', 'setsuna', 'shooting', 'slide', 'slot', 'speed', 'typing', 'updown']
# The unit tests that exercise each folder of games/; a fault they miss is tried on the folder's
# window tests too, as ./test runs both. The frame and the clock serve every game.
TESTS = {
    'cards': ['tst_cards', 'tst_updown', 'tst_speed', 'tst_slot'],
    'clock': ['tst_janken', 'tst_typing', 'tst_updown', 'tst_speed', 'tst_slide', 'tst_shooting'],
    'frame': ['tst_frame', 'tst_drawing', 'tst_gamelist', 'tst_scene'] + ['tst_' + g for g in GAMES],
}
WINDOW = {
    'cards': ['window_test_updown', 'window_test_speed', 'window_test_slot'],
    'clock': ['window_test_janken', 'window_test_typing', 'window_test_updown',
              'window_test_speed', 'window_test_slide', 'window_test_shooting'],
    'frame': ['window_test_screens'] + ['window_test_' + g for g in GAMES],
}
# The clock family the games count with lives in base/; its faults count as a games folder's.
CLOCK_FILES = ('base/Game_ElapsedClock.cpp', 'base/Game_Countdown.cpp')
DRAWING = re.compile(r'draw|fill|paint|Rect|Point|setOpacity|setFont|Picture|Image')
NUMBER = re.compile(r'(?<![\w.])(\d+)(?![\w.])')
COMPARE = re.compile(r'(?<= )(<=|>=|==|!=|<|>)(?= )')
CONDITION = re.compile(r'\b(if|while) \((.*)\)( \{|$)')
TERNARY = re.compile(r'\? ([^:?()]+) : ([^;,():?]+)')
CALL = re.compile(r'^\s*[\w:>.\->*]+\(.*\);\s*$')
SKIP = re.compile(r'^\s*(#|//|\*|/\*|case |default:|return;|\{|\}|public:|private:|protected:)')


def sites(path):
    """Every (line number, kind, replacement text) that one mutation of path can give."""
    out = []
    lines = open(path, encoding='utf-8').read().split('\n')
    for n, line in enumerate(lines):
        code = line.split('//')[0]
        if not code.strip() or SKIP.match(code) or 'static_assert' in code or 'Q_' in code:
            continue
        if '"' in code:
            quoted = re.sub(r'"[^"]*"', lambda m: '\0' * len(m.group()), code)
        else:
            quoted = code
        for m in NUMBER.finditer(quoted):
            v = int(m.group(1))
            new = code[:m.start()] + str(v + 1 if v in (0, 1) else v * 2 if v < 4 else v + v // 10 + 1) + code[m.end():]
            out.append((n, 'number', new + line[len(code):]))
        for m in COMPARE.finditer(quoted):
            flip = {'<': '<=', '<=': '<', '>': '>=', '>=': '>', '==': '!=', '!=': '=='}[m.group()]
            out.append((n, 'compare', code[:m.start()] + flip + code[m.end():] + line[len(code):]))
        m = CONDITION.search(quoted)
        if m:
            new = code[:m.start(2)] + '!(' + code[m.start(2):m.end(2)] + ')' + code[m.end(2):]
            out.append((n, 'condition', new + line[len(code):]))
        m = TERNARY.search(quoted)
        if m:
            new = (code[:m.start()] + '? ' + m.group(2).strip() + ' : ' + m.group(1).strip() +
                   code[m.end():])
            out.append((n, 'branch', new + line[len(code):]))
        if CALL.match(code) and '=' not in code.split('(')[0] and not code.strip().startswith('return'):
            indent = line[:len(line) - len(line.lstrip())]
            out.append((n, 'call', indent + ';'))
    return [(path, n, kind, new, lines) for n, kind, new in out]


def folder(path):
    if os.path.relpath(path, ROOT).replace(os.sep, '/') in CLOCK_FILES:
        return 'clock'
    return os.path.relpath(path, os.path.join(ROOT, 'games')).split(os.sep)[0]


def all_sites():
    found = []
    for d, _, files in sorted(os.walk(os.path.join(ROOT, 'games'))):
        for f in sorted(files):
            if f.endswith('.cpp'):
                found += sites(os.path.join(d, f))
    for f in CLOCK_FILES:
        found += sites(os.path.join(ROOT, f))
    return found


def choose(found, sample, count, rng):
    if sample == 'random':
        rng.shuffle(found)
        return found
    by_folder = {}
    for s in found:
        by_folder.setdefault(folder(s[0]), []).append(s)
    queues = []
    for name in sorted(by_folder):
        draw = [s for s in by_folder[name] if DRAWING.search(s[4][s[1]])]
        rest = [s for s in by_folder[name] if s not in draw]
        rng.shuffle(draw)
        rng.shuffle(rest)
        mixed = []
        while draw or rest:
            for src in (draw, rest, rest):
                if src:
                    mixed.append(src.pop())
        queues.append(mixed)
    ordered = []
    while any(queues):
        for q in queues:
            if q:
                ordered.append(q.pop(0))
    return ordered


def run(cmd, timeout):
    try:
        p = subprocess.run(cmd, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=timeout)
        return p.returncode
    except subprocess.TimeoutExpired:
        return 'timeout'


def ctest(build, tests, timeout):
    return run(['nice', 'ctest', '--test-dir', build, '--timeout', str(timeout),
                '-R', '^(' + '|'.join(tests) + ')$'], timeout * len(tests) + 60)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--build', default='build')
    ap.add_argument('--count', type=int, default=40)
    ap.add_argument('--sample', choices=['kinds', 'random'], default='random')
    ap.add_argument('--seed', type=int, default=24)
    ap.add_argument('--timeout', type=int, default=240)
    ap.add_argument('--out', default='-')
    ap.add_argument('--window', action='store_true', help='try a fault the unit tests miss on the window tests')
    ap.add_argument('--recheck', help='plant again the faults this earlier output missed')
    args = ap.parse_args()
    rng = random.Random(args.seed)
    out = sys.stdout if args.out == '-' else open(args.out, 'a', buffering=1)
    build = os.path.join(ROOT, args.build)
    caught = missed = 0
    chosen = choose(all_sites(), args.sample, args.count, rng)
    if args.recheck:
        missed_before = set()
        for line in open(args.recheck, encoding='utf-8'):
            f = line.rstrip('\n').split('\t')
            if f[0] == 'missed':
                missed_before.add((f[2], f[4][3:]))
        chosen = [s for s in all_sites()
                  if (os.path.relpath(s[0], ROOT) + ':' + str(s[1] + 1), s[3].strip())
                  in missed_before]
        args.count = len(chosen)
    for path, n, kind, new, lines in chosen:
        if caught + missed >= args.count:
            break
        # Every game's missing-picture messages are checked through the game list.
        tests = TESTS.get(folder(path), ['tst_' + folder(path), 'tst_gamelist'])
        original = '\n'.join(lines)
        changed = lines[:n] + [new] + lines[n + 1:]
        stamp = os.stat(path)
        try:
            open(path, 'w', encoding='utf-8').write('\n'.join(changed))
            built = run(['nice', 'cmake', '--build', build, '-j2', '--target'] + tests, 900)
            if built != 0:
                continue
            result = ctest(build, tests, args.timeout)
            if result == 0 and args.window:
                windows = WINDOW.get(folder(path), ['window_test_' + folder(path)])
                if run(['nice', 'cmake', '--build', build, '-j2', '--target', 'tovira'], 900) == 0:
                    result = ctest(build, windows, args.timeout)

        finally:
            open(path, 'w', encoding='utf-8').write(original)
            os.utime(path, ns=(stamp.st_atime_ns, time.time_ns()))
        verdict = 'missed' if result == 0 else 'caught'
        caught += verdict == 'caught'
        missed += verdict == 'missed'
        rel = os.path.relpath(path, ROOT)
        print(f'{verdict}\t{kind}\t{rel}:{n + 1}\t{lines[n].strip()}\t=> {new.strip()}', file=out)
    # Leave the build matching the restored sources.
    run(['nice', 'cmake', '--build', build, '-j2'], 1800)
    total = caught + missed
    label = 'recheck' if args.recheck else args.sample
    print(f'# {label} seed {args.seed}: {caught}/{total} caught '
          f'({100.0 * caught / max(total, 1):.0f} %)', file=out)


if __name__ == '__main__':
    main()
