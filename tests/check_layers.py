#!/usr/bin/env python3
"""Checks that the product's folders include only the layers below them.

A folder is a top-level folder of the product, or one folder under games/. The sound archive
(the format the tools share) counts as a layer of its own below the rest of sound/. A quoted
include of a file in another folder must go to a lower layer; two folders on the same layer (two
games) never include each other. Any cycle between folders is reported as well. Prints each
fault with the file and line and exits 1 when there is one.

    tests/check_layers.py SOURCE_DIR
"""
import os
import re
import sys

# Bottom to top; a folder may include only folders with a smaller rank.
RANKS = {
    'base': 0,
    'sound/archive': 1,
    'sound': 2,
    'launcher': 3,
    'games/frame': 4,
    'games/cards': 5,
    'games/*': 6,
    'story': 7,
    'app': 8,
}
TOP_FOLDERS = ('base', 'sound', 'launcher', 'games', 'story', 'app')
ARCHIVE_FILES = {'Archive', 'ArchiveBuffer', 'ArchiveEntry', 'Blowfish'}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    """The layer folder of a path relative to the source root, or None outside the product."""
    parts = path.split('/')
    if parts[0] not in TOP_FOLDERS or len(parts) < 2:
        return None
    if parts[0] == 'games':
        return 'games/' + parts[1] if len(parts) > 2 else None
    if parts[0] == 'sound' and os.path.splitext(parts[-1])[0] in ARCHIVE_FILES:
        return 'sound/archive'
    return parts[0]


def rank_of(folder):
    if folder in RANKS:
        return RANKS[folder]
    if folder.startswith('games/'):
        return RANKS['games/*']
    return None


def includes(root):
    """Yields (file, line number, including folder, included folder) for every quoted include."""
    for top in TOP_FOLDERS:
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if not name.endswith(('.h', '.cpp')):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), root)
                source = folder_of(path)
                with open(os.path.join(root, path), encoding='utf-8') as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = m.group(1)
                        if '/' not in target:
                            target = os.path.join(os.path.dirname(path), target)
                        included = folder_of(target)
                        if source and included and included != source:
                            yield path, number, source, included


def cycles(edges):
    """Every folder that lies on a cycle of the include graph, as one list per cycle found."""
    found, state = [], {}

    def visit(node, trail):
        state[node] = 'open'
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 'open':
                found.append(trail[trail.index(nxt):] + [nxt])
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = 'done'

    for node in sorted(edges):
        if node not in state:
            visit(node, [node])
    return found


def main(root):
    faults = []
    edges = {}
    for path, number, source, included in includes(root):
        edges.setdefault(source, set()).add(included)
        low, high = rank_of(included), rank_of(source)
        if low is None or high is None:
            faults.append(f'{path}:{number}: {source} or {included} has no layer')
        elif low >= high:
            faults.append(f'{path}:{number}: {source} includes {included}, which is not below it')
    for cycle in cycles(edges):
        faults.append('cycle between folders: ' + ' -> '.join(cycle))
    for fault in faults:
        print(fault)
    if not edges:
        print('no includes between folders found under ' + root)
        return 1
    print(f'{len(edges)} folders, {sum(len(v) for v in edges.values())} folder links, '
          f'{len(faults)} faults')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
