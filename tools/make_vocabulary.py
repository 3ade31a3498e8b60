#!/usr/bin/env python3
"""Writes script/vocabulary.txt: the game's vocabulary, the facts that the
script reader looks commands and classes up in, and which game knows each
command.

Usage: make_vocabulary.py OPENMOHAA_GITDIR SUBLIMEMOHAA_GITDIR [OUT]
OPENMOHAA_GITDIR is a git directory of github.com/openmoh/openmohaa, the
engine's public source; SUBLIMEMOHAA_GITDIR one of
github.com/eduzappa18/SublimeMOHAA, an editor package (the search tool's fetch
brings both). Each is read at the commit in COMMITS below.

From the engine, the tool takes the sources that it builds into its game
module (code/fgame, code/script and the part of code/corepp that the game
module links), drops what the preprocessor leaves out of that build, and reads
two kinds of declaration:

- each command object: the command's name and its kind (plain, returns a
  value, a field's getter, a field's setter; plain where none is given), and
  the comments that say which release added it ("Added in 2.0", "Added in
  2.30", "Added in OPM"): on the declaration itself (a plain mark), or above a
  group of declarations (a group's mark, which holds up to the next such
  comment, a line of slashes or a class declaration);
- each class declaration: the class, its parent, its spawn name, and the
  table of commands it answers (a command listed with no handler is one the
  class refuses, though a parent answers it).

From the editor package, it takes for each command name the games that know
it (tooltips/db/Morpheus.json: AA, SH, BT, and REBORN for the Reborn patch;
tooltips/db/Reborn.json: the Reborn and NightFall patches).

Which releases know a command, by name:
- Allied Assault (1.11), Spearhead (2.15), Breakthrough (2.40): as the editor
  package says. Where the engine's plain marks say otherwise (2.0 to 2.15 is
  Spearhead and Breakthrough, 2.30 and 2.40 Breakthrough, OPM none of them),
  both sides are taken, so that the table refuses less. For a name the
  package does not list, the engine's mark, plain or a group's (not a
  group's for a name the games keep for their own use: it starts with '_',
  or every declaration is code only), says which; where there is none, no
  source says, and the name is known in all three, so that the table
  refuses less.
- OpenMoHAA: every command its source declares.
- The Reborn patch (of Allied Assault) and NightFall (of Spearhead and
  Breakthrough): as the package says.
A name the package lists that the engine does not declare is written with
both kinds and no classes (answered by every class): neither source says
more of it. Every case where the sources disagree, or where the rules above
decide, is printed.

It writes names, kinds, classes and releases only: no documentation text, no
code. The client program's commands are not level-script commands and are
not read. Plain commands and those that return a value are found whatever
their letter case, so their names are written in lower case; getters and
setters are written as declared.
"""
import io
import json
import os
import re
import subprocess
import sys
import tarfile

COMMIT = '44ce0595c2bbe1c3d5933e16e9130c2d7cf1306d'
SUBLIME_COMMIT = 'e13ac11631f9d017e034b7bc62a848089bd60b41'

# The releases, as the table names them.
AA, SH, BT, OPM, REBORN, NIGHTFALL = 'aa', 'sh', 'bt', 'opm', 'reborn', 'nightfall'
RELEASES = [AA, SH, BT, OPM, REBORN, NIGHTFALL]
GAMES = {AA, SH, BT}
# The engine's marks: the releases of the games that have a command so added.
MARKS = {'2.0': {SH, BT}, '2.1': {SH, BT}, '2.11': {SH, BT}, '2.15': {SH, BT},
         '2.30': {BT}, '2.40': {BT}, 'opm': set()}
MARK = re.compile(r'added in (2\.\d+|opm)\b(?!\s*:)', re.I)

# The game module's build: what it defines, and what it does not.
DEFINED = {'GAME_DLL', 'WITH_SCRIPT_ENGINE', 'NDEBUG'}
# Platform names are read as on Linux: no command depends on them.
UNDEFINED = {'CGAME_DLL', 'OPM_FEATURES', '_DEBUG', 'MISSIONPACK', 'ARCHIVE_USE_TYPES',
             '_CONSOLE', 'Q3_BIG_ENDIAN', 'ARCH_IS_BIG_ENDIAN', '_DEBUG_MEM', 'ARCHIVE_SUPPORTED',
             '_WIN32', 'WIN32', '_WIN64', '_MSC_VER', '__APPLE__'}
# The part of code/corepp that the game module links.
COREPP = ['class.cpp', 'con_set.cpp', 'con_timer.cpp', 'delegate.cpp', 'lightclass.cpp',
          'listener.cpp', 'lz77.cpp', 'mem_blockalloc.cpp', 'mem_tempalloc.cpp', 'script.cpp',
          'str.cpp']
# The kinds, by name or by the number a few declarations give instead.
KINDS = {'EV_NORMAL': 'plain', 'EV_RETURN': 'return', 'EV_GETTER': 'getter',
         'EV_SETTER': 'setter', '0': 'plain', '1': 'return', '2': 'getter', '3': 'setter'}


def sources(gitdir, commit):
    """The game module's .cpp files, as {path: text}."""
    archive = subprocess.run(['git', '--git-dir', gitdir, 'archive', commit, 'code/fgame',
                              'code/script', 'code/corepp'], capture_output=True, check=True)
    files = {}
    with tarfile.open(fileobj=io.BytesIO(archive.stdout)) as tar:
        for member in tar.getmembers():
            path = member.name
            folder, name = os.path.split(path)
            if not name.endswith('.cpp'):
                continue
            if folder == 'code/corepp' and name not in COREPP:
                continue
            if folder not in ('code/fgame', 'code/script', 'code/corepp'):
                continue
            files[path] = tar.extractfile(member).read().decode('latin-1')
    return files


def condition(expression, path):
    """Whether an #if expression holds in the game module's build; None where
    it tests something other than the names above (a byte order, a number)."""
    text = expression.split('//')[0].split('/*')[0].strip()
    def known(name):
        if name in DEFINED:
            return True
        if name in UNDEFINED:
            return False
        raise SystemExit('%s: no rule for %s in #if %s' % (path, name, expression))
    text = re.sub(r'defined\s*\(\s*(\w+)\s*\)', lambda m: str(known(m.group(1))), text)
    text = re.sub(r'defined\s+(\w+)', lambda m: str(known(m.group(1))), text)
    text = text.replace('&&', ' and ').replace('||', ' or ')
    text = re.sub(r'!(?!=)', ' not ', text)
    if re.search(r'[A-Za-z_]\w*', re.sub(r'\b(True|False|and|or|not)\b', '', text)):
        return None
    return bool(eval(text))  # only True, False, digits, and, or, not remain


DECLARATION = re.compile(r'^\s*Event\s+EV_|CLASS_DECLARATION|\{\s*&\s*EV_')


def preprocessed(text, path):
    """The lines the game module's build keeps; directives and dropped lines
    become empty lines. A branch that cannot be judged must hold no
    declaration."""
    out = []
    stack = []  # (this branch kept, some branch taken, enclosing kept)
    for number, line in enumerate(text.split('\n'), 1):
        directive = re.match(r'\s*#\s*(\w+)\s*(.*)', line)
        if any(frame[0] is None for frame in stack) and DECLARATION.search(line):
            raise SystemExit('%s:%d: a declaration under an #if that cannot be judged'
                             % (path, number))
        kept = all(frame[0] for frame in stack)
        if directive:
            word, rest = directive.groups()
            if word in ('if', 'ifdef', 'ifndef'):
                if not kept:
                    value = False
                elif word == 'if':
                    value = condition(rest, path)
                else:
                    name = rest.split()[0]
                    value = condition('defined(%s)' % name, path)
                    value = value if word == 'ifdef' else not value
                stack.append([value, value, kept])
            elif word == 'elif':
                frame = stack[-1]
                if frame[1] is None:
                    frame[0] = None
                else:
                    frame[0] = frame[2] and not frame[1] and condition(rest, path)
                    frame[1] = frame[1] or frame[0]
            elif word == 'else':
                frame = stack[-1]
                frame[0] = None if frame[1] is None else frame[2] and not frame[1]
                frame[1] = True if frame[1] is not None else None
            elif word == 'endif':
                stack.pop()
            out.append('')
        else:
            out.append(line if kept else '')
    if stack:
        raise SystemExit('%s: unbalanced #if' % path)
    return '\n'.join(out)


TOKEN = re.compile(r'''
    (?P<space>\s+|//[^\n]*|/\*.*?\*/)
  | (?P<string>"(?:[^"\\\n]|\\.)*")
  | (?P<char>'(?:[^'\\\n]|\\.)*')
  | (?P<word>[A-Za-z_]\w*)
  | (?P<number>\d[\w.]*)
  | (?P<punct>::|->|[^\s])
''', re.S | re.X)


def tokens(text):
    """Words, strings and signs; comments and blanks dropped."""
    out = []
    for match in TOKEN.finditer(text):
        kind = match.lastgroup
        if kind == 'space':
            continue
        out.append((kind, match.group()))
    return out


def unquote(literal):
    return bytes(literal[1:-1], 'latin-1').decode('unicode_escape')


def arguments(toks, i):
    """The top-level arguments of the bracket opening at toks[i], each a list
    of tokens, and the index after the closing bracket."""
    depth = 0
    args, current = [], []
    while True:
        kind, text = toks[i]
        if text in '([{' and kind == 'punct':
            depth += 1
            if depth > 1:
                current.append(toks[i])
        elif text in ')]}' and kind == 'punct':
            depth -= 1
            if depth == 0:
                args.append(current)
                return args, i + 1
            current.append(toks[i])
        elif text == ',' and depth == 1:
            args.append(current)
            current = []
        else:
            current.append(toks[i])
        i += 1


def read(files):
    events = {}   # variable -> (name, kind)
    flags = {}    # variable -> its flags, as written
    classes = {}  # class -> (parent, spawn name, [(event variable, answers)])
    for path in sorted(files):
        toks = tokens(preprocessed(files[path], path))
        for i in range(len(toks) - 2):
            kind, text = toks[i]
            if text == 'Event' and toks[i + 1][0] == 'word' and toks[i + 2][1] == '(' \
                    and (i == 0 or toks[i - 1][1] not in ('extern', '::', '.', '->', '&', '*')):
                args, _ = arguments(toks, i + 2)
                first = args[0]
                if not first or any(t[0] != 'string' for t in first):
                    continue  # not a command's declaration
                name = ''.join(unquote(t[1]) for t in first)
                if len(args) < 6:
                    event_kind = 'plain'
                else:
                    last = [t[1] for t in args[5]]
                    if len(last) != 1 or last[0] not in KINDS:
                        raise SystemExit('%s: the kind of %s is %s' % (path, name, last))
                    event_kind = KINDS[last[0]]
                variable = toks[i + 1][1]
                if variable in events and events[variable] != (name, event_kind):
                    raise SystemExit('%s: %s declared twice' % (path, variable))
                events[variable] = (name, event_kind)
                flags[variable] = ''.join(t[1] for t in args[1]) if len(args) > 1 else ''
            elif text == 'CLASS_DECLARATION' and toks[i + 1][1] == '(':
                args, after = arguments(toks, i + 1)
                parent, name, spawn = (''.join(t[1] for t in arg) for arg in args)
                spawn = unquote(spawn) if spawn.startswith('"') else None
                responses = []
                if toks[after][1] == '{':
                    entries, _ = arguments(toks, after)
                    for entry in entries:
                        words = [t[1] for t in entry]
                        if words in ([], ['{', 'NULL', ',', 'NULL', '}'],
                                     ['{', 'nullptr', ',', 'nullptr', '}']):
                            continue
                        if words[:2] != ['{', '&'] or words[3] != ',':
                            raise SystemExit('%s: %s answers %s' % (path, name, words))
                        answers = words[4] not in ('NULL', 'nullptr')
                        responses.append((words[2], answers))
                if name in classes:
                    raise SystemExit('%s: class %s declared twice' % (path, name))
                classes[name] = (parent, spawn, responses)
    return events, flags, classes


def marks(files):
    """For each command object, the engine's marks of the release that added
    it: {variable: (plain marks, group marks)}."""
    found = {}
    for path in sorted(files):
        group = None    # the mark of the group being read
        current = None  # the command object whose declaration is open
        for line in preprocessed(files[path], path).split('\n'):
            stripped = line.strip()
            if re.fullmatch(r'/{4,}', stripped) or 'CLASS_DECLARATION' in line:
                group = None
            declared = re.match(r'\s*Event\s+(EV_\w+)\b', line)
            if declared:
                current = declared.group(1)
                found[current] = (set(), {group} if group else set())
            mark = MARK.search(line)
            if mark and current is not None and '//' in line:
                found[current][0].add(mark.group(1).lower())
            elif mark and current is None and stripped.startswith('//'):
                group = mark.group(1).lower()
            if current is not None and stripped.endswith(');'):
                current = None
    return found


# Words of the language that an editor lists beside the commands.
KEYWORDS = {'makearray', 'endarray', 'size'}


def editor_games(gitdir, commit):
    """{name: releases} from the editor package: the games that know each
    command name, and the patches that add it."""
    words = {'AA': AA, 'SH': SH, 'BT': BT, 'REBORN': REBORN, 'Reborn': REBORN,
             'NightFall': NIGHTFALL}
    games = {}
    for path in ('tooltips/db/Morpheus.json', 'tooltips/db/Reborn.json'):
        text = subprocess.run(['git', '--git-dir', gitdir, 'show', '%s:%s' % (commit, path)],
                              capture_output=True, check=True).stdout
        for name, entry in json.loads(text).items():
            if name.lower() in KEYWORDS:
                continue
            games.setdefault(name.lower(), set()).update(words[g] for g in entry['gamever'])
    return games


def releases(events, flags, found, editor):
    """{name: releases} for every plain and return command name, the engine's
    and the editor package's; and the cases decided by the rules, to be read."""
    engine = {}  # name -> (plain marks, group marks, all code only)
    fields = {name.lower() for name, kind in events.values() if kind not in ('plain', 'return')}
    for variable, (name, kind) in events.items():
        if kind not in ('plain', 'return'):
            continue
        plain, group = found.get(variable, (set(), set()))
        known = engine.setdefault(name.lower(), (set(), set(), True))
        engine[name.lower()] = (known[0] | plain, known[1] | group,
                                known[2] and 'EV_CODEONLY' in flags[variable])
    table, cases = {}, []
    # A field the editor lists beside the commands is no command.
    for name in sorted(set(engine) | (set(editor) - fields)):
        said = editor.get(name)
        plain, group, code_only = engine.get(name, (set(), set(), False))
        # A group's mark says nothing of where the group ends: it is heard only
        # where the editor package is silent, and not for a name the games keep
        # for their own use, which no list shows.
        internal = name.startswith('_') or code_only
        marks = plain if plain or said is not None or internal else group
        marked = set().union(*(MARKS[m] for m in marks)) if marks else None
        if said is not None:
            games = said & GAMES
            if marked is not None and marked != games:
                cases.append(('disagree', name, '%s by the editor package, %s by the engine\'s '
                              'plain mark; both taken' % (shown(games), shown(marked))))
                games = games | marked
            elif marked is not None:
                cases.append(('agree', name, '%s by both' % shown(games)))
        elif marked is not None:
            games = marked
            cases.append(('engine only', name, '%s by the engine\'s %s mark' % (
                shown(marked), 'plain' if plain else 'group')))
        else:
            # No source says: the side that refuses less.
            games = set(GAMES)
            cases.append(('no source says', name, 'taken as known in every game%s' % (
                ' (kept for the games\' own use)' if internal else '')))
        table[name] = games | ({OPM} if name in engine else set()) | (said or set()) - GAMES
        if name not in engine:
            cases.append(('no declaration', name, 'in the editor package only: %s' %
                          shown(table[name])))
    return table, cases


def shown(releases):
    return ' '.join(r for r in RELEASES if r in releases) or 'none'


def table(events, classes, known, commits):
    def key(event):
        name, kind = event
        return (name.lower() if kind in ('plain', 'return') else name, kind)

    answered = {}  # (name, kind) -> {class: answers}
    for event in events.values():
        answered.setdefault(key(event), {})
    for name, (parent, spawn, responses) in classes.items():
        for variable, answers in responses:
            if variable not in events:
                raise SystemExit('class %s answers %s, which is never declared' % (name, variable))
            # The first entry of a class's own table is the one the game keeps.
            answered[key(events[variable])].setdefault(name, answers)
    declared = {name for name, _ in answered}
    for name in set(known) - declared:  # named by the editor package only: both kinds, any class
        for kind in ('plain', 'return'):
            answered[(name, kind)] = None
    lines = [
        '# The game\'s vocabulary: every command that the game\'s compiler knows, with its kind,',
        '# the classes that answer it and the releases that know it, and every class with its',
        '# parent and spawn name. Facts only: names, kinds, classes, releases. Made by',
        '# tools/make_vocabulary.py (which says how) from the engine\'s public source,',
        '# github.com/openmoh/openmohaa at commit %s, as its game' % commits[0],
        '# module is built, and from the editor package github.com/eduzappa18/SublimeMOHAA at',
        '# commit %s (its list of the games that know each command).' % commits[1],
        '#',
        '# class<TAB>NAME<TAB>PARENT<TAB>SPAWN NAME ("-" for none)',
        '# command<TAB>NAME<TAB>KIND<TAB>CLASSES<TAB>RELEASES: KIND is plain, return (gives a',
        '#   value), getter or setter (of a field); CLASSES list the classes whose own table',
        '#   answers it, "!" before those that refuse it although a parent answers it, "?" where',
        '#   no source says (every class is taken to answer it); RELEASES, for plain and return',
        '#   commands, are those that know it: aa (Allied Assault 1.11), sh (Spearhead 2.15),',
        '#   bt (Breakthrough 2.40), opm (OpenMoHAA), reborn (the Reborn patch of Allied',
        '#   Assault), nightfall (the NightFall patch of Spearhead and Breakthrough).',
        '#   The games and patches are those the editor package names; where the engine\'s',
        '#   comments mark a command as added by a release and the package says otherwise, both',
        '#   are taken; where the package is silent, the marks say (those above a group too);',
        '#   where neither says, every game is taken to know it. opm is every command the',
        '#   engine declares. A command only the package names has both kinds and "?" classes.',
    ]
    for name in sorted(classes, key=str.lower):
        parent, spawn, _ = classes[name]
        lines.append('class\t%s\t%s\t%s' % (name, parent, spawn or '-'))
    for (name, kind) in sorted(answered, key=lambda k: (k[0].lower(), k[0], k[1])):
        who = answered[(name, kind)]
        if who is None:
            listed = '?'
        else:
            listed = ' '.join(('' if who[c] else '!') + c for c in sorted(who, key=str.lower))
        line = 'command\t%s\t%s\t%s' % (name, kind, listed or '-')
        if kind in ('plain', 'return'):
            line += '\t' + shown(known[name])
        lines.append(line)
    return '\n'.join(lines) + '\n'


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    gitdir, sublime = sys.argv[1], sys.argv[2]
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[3] if len(sys.argv) > 3 else os.path.join(here, '..', 'script',
                                                             'vocabulary.txt')
    files = sources(gitdir, COMMIT)
    events, flags, classes = read(files)
    known, cases = releases(events, flags, marks(files), editor_games(sublime, SUBLIME_COMMIT))
    with open(out, 'w', newline='\n') as f:
        f.write(table(events, classes, known, (COMMIT, SUBLIME_COMMIT)))
    for kind in sorted({c[0] for c in cases}):
        listed = [c for c in cases if c[0] == kind]
        print('# %s: %d' % (kind, len(listed)))
        for _, name, why in listed:
            print('%s: %s' % (name, why))
    print('# names known to each release')
    for release in RELEASES:
        print('%s: %d' % (release, sum(1 for r in known.values() if release in r)))
    print('%d command declarations, %d classes -> %s' % (len(events), len(classes), out))


if __name__ == '__main__':
    main()
