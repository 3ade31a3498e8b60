#!/usr/bin/env python3
"""Runs spawnsmith-check over the level scripts of published mods, to read what
it says of real scripts. Nothing of theirs is kept: the scripts are written to a
temporary folder and removed after.

Usage: check_published.py [--game GAME]... CHECK_PROGRAM READERS_DIR GITDIR...
CHECK_PROGRAM is spawnsmith-check; READERS_DIR holds check.sh, the game's two
public readers (see make_reader_table.py); each GITDIR is a git directory of a
mod, as the search tool's fetch brings it. Each mod's .scr files (of its newest
commit; files its snapshot lacks, and the menus' key bindings in ui/ folders,
are passed over) are checked together, so that
labels one uses in another are looked for there. A script that
spawnsmith-check refuses is given to the game's two readers too: one that both
accept is refused for a command the game does not know, or for a line the game
cannot compile. Prints, for each mod, the scripts, those refused (and of them
those both readers accept) and the warnings of each kind, by the kind
spawnsmith-check names; then every such refusal and every warning, to be read.
With --game, the mods are checked for each game given as well, and for each
game the scripts that load and every refusal are printed.
"""
import collections
import os
import re
import subprocess
import sys
import tempfile

REPORT = re.compile(r'(.*?):(\d+):(\d+): (error|warning): (.*?)(?: \[([a-z-]+)\])?$')


def scripts(gitdir):
    """{path: bytes} of the .scr files of the newest commit."""
    listing = subprocess.run(['git', '--git-dir', gitdir, 'ls-tree', '-r', '-z', 'HEAD'],
                             capture_output=True, check=True).stdout
    files = {}
    for entry in listing.split(b'\0'):
        if not entry:
            continue
        info, path = entry.split(b'\t', 1)
        name = path.decode('utf-8', 'replace')
        # Files in ui/ folders are the menus' key bindings, not level scripts.
        if not name.lower().endswith('.scr') or '/ui/' in '/' + name.lower():
            continue
        blob = info.split()[2].decode()
        got = subprocess.run(['git', '--git-dir', gitdir, 'cat-file', 'blob', blob],
                             capture_output=True)
        if got.returncode == 0:
            files[name] = got.stdout
    return files


def check(program, options, paths, folder):
    """[(path, level, kind, line shown)] of one run of spawnsmith-check."""
    run = subprocess.run([program] + options + ['--'] + sorted(paths), capture_output=True)
    found = []
    for line in run.stdout.decode('utf-8', 'replace').splitlines():
        report = REPORT.match(line)
        if report:
            path, _, _, level, _, kind = report.groups()
            found.append((path, level, kind, line[len(folder) + 1:]))
    return found


def main():
    arguments = sys.argv[1:]
    games = []
    while len(arguments) > 1 and arguments[0] == '--game':
        games.append(arguments[1])
        arguments = arguments[2:]
    if len(arguments) < 3:
        raise SystemExit(__doc__)
    program, readers = arguments[0], arguments[1]
    details = []
    total = collections.Counter()
    for gitdir in arguments[2:]:
        mod = os.path.basename(os.path.dirname(os.path.abspath(gitdir)))
        files = scripts(gitdir)
        counts = collections.Counter(scripts=len(files))
        with tempfile.TemporaryDirectory() as folder:
            paths = []
            for name, data in files.items():
                path = os.path.join(folder, name)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, 'wb') as f:
                    f.write(data)
                paths.append(path)
            refused = set()
            for path, level, kind, line in check(program, [], paths, folder):
                shown = '%s: %s' % (mod, line)
                if level == 'error':
                    refused.add(path)
                    readers_accept = subprocess.run([os.path.join(readers, 'check.sh'), path],
                                                    capture_output=True).returncode == 0
                    counts['refused'] += 1
                    if readers_accept:
                        counts['refused, both readers accept'] += 1
                        details.append(('refused, both readers accept', shown))
                    continue
                counts['warning: ' + kind] += 1
                details.append(('warning: ' + kind, shown))
            counts['load'] = len(files) - len(refused)
            for game in games:
                stops = [(p, line) for p, level, _, line in check(program, ['--game', game],
                                                                   paths, folder)
                         if level == 'error']
                counts['load with --game ' + game] = len(files) - len({p for p, _ in stops})
                details.extend(('refused with --game ' + game, '%s: %s' % (mod, line))
                               for _, line in stops)
        total.update(counts)
        print('%-40s %s' % (mod, ', '.join('%s %d' % kv for kv in sorted(counts.items()))))
    print('%-40s %s' % ('all', ', '.join('%s %d' % kv for kv in sorted(total.items()))))
    for kind in sorted({k for k, _ in details}):
        print('\n# %s' % kind)
        for k, line in details:
            if k == kind:
                print(line)


if __name__ == '__main__':
    main()
