#!/usr/bin/env python3
"""Writes script/vocabulary.txt: the game's vocabulary, the facts that the
script reader looks commands and classes up in.

Usage: make_vocabulary.py OPENMOHAA_GITDIR [COMMIT [OUT]]
OPENMOHAA_GITDIR is a git directory of github.com/openmoh/openmohaa, the
engine's public source (the search tool's fetch brings one); COMMIT defaults
to the one the table was last made from. The tool takes the sources that the
engine builds into its game module (code/fgame, code/script and the part of
code/corepp that the game module links), drops what the preprocessor leaves
out of that build, and reads two kinds of declaration:

- each command object: the command's name and its kind (plain, returns a
  value, a field's getter, a field's setter; plain where none is given);
- each class declaration: the class, its parent, its spawn name, and the
  table of commands it answers (a command listed with no handler is one the
  class refuses, though a parent answers it).

It writes names, kinds and classes only: no documentation text, no code. The
client program's commands are not level-script commands and are not read.
Plain commands and those that return a value are found whatever their letter
case, so their names are written in lower case; getters and setters are
written as declared.
"""
import os
import re
import subprocess
import sys
import tarfile
import tempfile
import io

COMMIT = '44ce0595c2bbe1c3d5933e16e9130c2d7cf1306d'

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
    return events, classes


def table(events, classes, commit):
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
    lines = [
        '# The game\'s vocabulary: every command that the game\'s compiler knows, with its kind',
        '# and the classes that answer it, and every class with its parent and spawn name.',
        '# Facts only: names, kinds, classes. Made by tools/make_vocabulary.py from the',
        '# engine\'s public source, github.com/openmoh/openmohaa at commit',
        '# %s, as its game module is built.' % commit,
        '#',
        '# class<TAB>NAME<TAB>PARENT<TAB>SPAWN NAME ("-" for none)',
        '# command<TAB>NAME<TAB>KIND<TAB>CLASSES: KIND is plain, return (gives a value), getter or',
        '#   setter (of a field); CLASSES list the classes whose own table answers it, "!" before',
        '#   those that refuse it although a parent answers it.',
    ]
    for name in sorted(classes, key=str.lower):
        parent, spawn, _ = classes[name]
        lines.append('class\t%s\t%s\t%s' % (name, parent, spawn or '-'))
    for (name, kind) in sorted(answered, key=lambda k: (k[0].lower(), k[0], k[1])):
        who = answered[(name, kind)]
        listed = ' '.join(('' if who[c] else '!') + c for c in sorted(who, key=str.lower))
        lines.append('command\t%s\t%s\t%s' % (name, kind, listed or '-'))
    return '\n'.join(lines) + '\n'


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    gitdir = sys.argv[1]
    commit = sys.argv[2] if len(sys.argv) > 2 else COMMIT
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[3] if len(sys.argv) > 3 else os.path.join(here, '..', 'script',
                                                             'vocabulary.txt')
    commit = subprocess.run(['git', '--git-dir', gitdir, 'rev-parse', commit + '^{commit}'],
                            capture_output=True, text=True, check=True).stdout.strip()
    events, classes = read(sources(gitdir, commit))
    with open(out, 'w', newline='\n') as f:
        f.write(table(events, classes, commit))
    print('%d command declarations, %d classes -> %s' % (len(events), len(classes), out))


if __name__ == '__main__':
    main()
