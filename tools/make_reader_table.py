#!/usr/bin/env python3
"""Writes reader_table.txt: script fragments with the verdict of the game's two
public readers, for the script reader's test; and box_table.txt: values typed
into one box of a spawn block, with the readers' verdict on that block, for the
value marks' test.

Usage: make_reader_table.py CHECK_DIR [ROWS [SEED [OUT]]]
CHECK_DIR holds morfuse_check and omoh_check, the game's two public readers
built from their public sources: morfuse (github.com/morfuse/morfuse, commit
caee5fb9), the whole library driven as its own tests drive it, an
unregistered game command counting as read; and the parse step of OpenMoHAA
(github.com/openmoh/openmohaa, commit 44ce0595), its code/parser grammar run
with bison and flex as the engine's build runs them. Each takes FILE and exits
0 when it loads the script. None of their code is in this project. The
fragments are pieces of level script and spawn blocks written for this project
(no line of a published level script is in them), edited at random with a fixed
seed, so the same readers give the same table. Each row is: the verdict (loads or stops); what the readers
checked (all, or reading where the stand-alone library stopped compiling at a
game command it does not know, so only the reading of the text was judged);
the line where the first reader to stop stops (0 where neither names a line it
surely means); and the fragment with C escapes (\\r \\n \\t \\\\ \\xHH).
"""
import os
import random
import re
import subprocess
import sys
import tempfile

# Pieces of level script written for this table, in the ways scripters write
# them: threads and labels, waitthread and exec of global scripts, commands to
# $targetnames, arrays, nested if and while, comments, tabs. The names are
# made up (a mill village by a river); CR LF line ends are set at random below.
PIECES = [
    'main:\n\tlevel.mill_alarm = 0\t\t// nobody has raised it yet\n\tthread mill_guards\n\twaitthread global/mill_doors.scr::setup\nend\n',
    'mill_guards:\n\tif (level.mill_alarm == 0) { thread mill_patrol }\n\telse { thread mill_defend }\nend\n',
    '\texec global/weather.scr rain_light\n\t$mill_wheel rotateyup 30\n\t$mill_wheel loopsound mill_creak\n',
    '\tlevel waittill spawn\n\texec global/villager_setup.scr\n\tthread global/river_boats.scr::start 3\n',
    '/* the bridge used to fall here;\n\tkept for the second version */\n\tthread bridge_check\n',
    '\tif (level.players_in_mill > 0) {\n\t\t$mill_door close\n\t\t$mill_gate lock\n\t}\n',
    '\tlevel.river_speed = 12\n\tlevel.boat_count = level.boat_count + 1\n\tlevel.ferry.passengers = 0\n',
    '\t$ferry_rope.origin = $ferry_post.origin + ( 0 0 48 )\n\t$ferry_rope.angles = ( 0 $ferry_post.angles[1] 0 )\n',
    '\twaitthread global/music.scr::play "sound/music/river_calm.mp3" 0.8\n',
    '\t$sentry_east turnto $bell_tower\n\t$sentry_east exec global/sentry_look.scr 4\n',
    '\t$flak_crew1 ai_off\n\t$flak_crew1 anim idle_smoke\n',
    '\tlocal.banner = ("Reach the mill before dusk: " + level.minutes_left + " minutes left")\n',
    '\tlevel.difficulty = getcvar (skill)\n\tprintln "mill: difficulty is " level.difficulty\n',
    '\tif (level.difficulty == "0" || level.difficulty == "1") {\n\t\tlocal.guards = 3\n\t}\n',
    '\tif (level.difficulty == "2") {\n\t\t$miller.health = 150\n\t}\n\telse if (level.difficulty == "3") {\n\t\t$miller.accuracy = 80\n\t}\n',
    '\t$granary exec global/burn.scr small\n\tthread global/pickups.scr::drop "rations" $granary.origin\n',
    '\twaitthread global/goals.scr::add 2 "Open the sluice gate" $sluice.origin\n',
    'replace_lantern:{\n\tif (level.night == 1) {\n\t\tlocal.lamp = spawn script_model\n\t\tlocal.lamp model "static/lantern_hang.tik"\n\t}\n}end\n',
    '\t\tlocal.lamp.flags["relight_seconds"] = 20 \t// relights on its own\n',
    '\tfor (local.n = 1; local.n <= 5; local.n++) {\n\t\tlocal.sack = $("flour_sack" + local.n)\n\t\tlocal.copy = spawn local.sack.model\n\t}\n',
    'sluice_open:\n\tlocal.gate = spawn script_object\n\tlocal.gate model "static/sluice_gate.tik"\n\tlocal.gate.origin = ( -1408 2216 -96 )\n\tlocal.gate solid\nend\n',
    'place_ammo:\n\tlocal.box = spawn item_ammo_box\n\tlocal.box.origin = ( 96 -640 24 )\n\tlocal.box light 0 0 1 48\nend\n',
    'count_boats local.first local.last:\n\twait 0.5\n\tlocal.total = local.last[1] - local.first\n\tend local.total\n',
    'switch (local.season)\n{\n\tcase 1:\n\t\tlocal.fog = 900\n\t\tbreak\n\tcase "winter":\n\t\tlocal.fog = 400\n\t\tbreak\n\tdefault:\n\t\tlocal.fog = 2000\n}\n',
    'local.routes = makearray\n\t"mill" 4\n\t"ferry" 7\nendarray\n',
    'while (local.wheel_turns < 40)\n{\n\tlocal.wheel_turns++\n\twaitframe\n}\n',
    'local.ferry.lamp = spawn script_origin\nlocal.boat[2] = spawn script_model\nlocal.boat[local.n].origin = ( 8 16 0 )\n',
    'try {\n\tlocal.bell = 1\n} catch {\n\tlocal.bell = 0\n}\n',
    'level.sentries = $sentry.size\nlocal.left = local.routes.size\n',
    '\t$miller stufftext "echo miller"\n\tlocal.depth = -local.depth\n\tlocal.dry = !local.flooded\n',
    '\twhile (level.mill_alarm == 0) {\n\t\tif ($mill_door.open == 1) {\n\t\t\twhile (local.wait_for < 3) { local.wait_for++ }\n\t\t}\n\t\twait 1\n\t}\n',
    'bridge_check:\n\t// the bridge holds three carts at most\n\tif (level.carts_on_bridge > 3) {\n\t\tgoto bridge_fall\n\t}\nend\n\nbridge_fall:\n\t$bridge_planks remove\nend\n',
]

# Blocks as a spawn tool writes them, and values a scripter may type.
OBJECT = ('//{c}\r\nlocal.{i} = spawn script_model\r\nlocal.{i} model "{m}"\r\n'
          'local.{i}.origin = ( {x} {y} {z} )\r\nlocal.{i}.angles = ( {a} {b} {d} )\r\n'
          'local.{i}.scale = {s}\r\n\r\n')
TRIGGER = ('//{c}\r\nlocal.{i} = spawn trigger_multiple\r\nlocal.{i}.origin = ( {x} {y} {z} )\r\n'
           'local.{i} setsize ( {x} {y} {z} ) ( {a} {b} {d} )\r\nlocal.{i} setthread {t}\r\n'
           'local.{i} message "{m}"\r\nlocal.{i} wait {s}\r\nlocal.{i} delay {s}\r\n\r\n')
NUMBERS = ['0', '512', '-256', '0.5', '.5', '-.5', '007', ' 512 ', '1,5', '512,', '+5', '- 5',
           '5-', '--5', '51O', '0x10', 'abc', '90\u00b0', '1.2.3', '5.', '-5.', '1e+30', '1 2', '',
           '1e5', '-0', '1.', '.', '-', '(1)', '2*3', '$x', 'local.v', '99999999999']
IDS = ['bike1', 'crate[1]', 'missile.cam', 'crate#1', "bob's", '12', '1bike', 'my bike', 'bike-1',
       'bike.1', 't\u00fcr', 'size', 'Size', 'a\\b', 'a$b', 'crate[local.i]', 'x.size', 'crate@2',
       '_', 'a"b', 'crate[1', 'crate]', 'a:b', 'a;b', 'a//b', 'a/*b', 'game', 'end', 'if']
THREADS = ['open_door', 'door2', 'global/door.scr::open', 'a:b', '::open', 'open::', 'open door',
           'a;b', 'a//b', 'a/*b', 'open_door()', 'door[1]', 'a,b', 'local.x', 'game', 'if', '5',
           'a::b::c', ' open ', 'a\\b', 'a"b', 'end']
TEXTS = ['vehicles/bmwbike.tik', 'static/crate.tik', 'The door opens', 'say "hi"',
         'models\\static\\bush.tik', 'C:\\new', 'ends\\', '//not a comment', '/* x */', 'a;b',
         'caf\u00e9', '', ' ', "it's", 'a\tb']

# Words that edits put into a piece.
EDITS = [',', '+', '-', ' - ', ' -', '(', ')', '[', ']', '{', '}', '::', ':', ';', '"', '\\',
         '//', '/*', '*/', '.', '5.', '-5.', '=', 'size', '?', '$', '$$', '#', "'", '1e+30', '\r\n',
         '\n', '\r', ' ', '\t', 'else', 'if', 'local.', 'end', '0', '( 1 2 3 )', '"x"', '++',
         '--', '+=', '!', '~', 'makearray', 'endarray', 'case', 'break', '\x00', '\\\r\n', 'NIL',
         '&&', '==', '.size', '[1]', '.x', 'thread a', '\u00e9']


def escape(data):
    out = []
    for byte in data:
        ch = chr(byte)
        if ch == '\\':
            out.append('\\\\')
        elif ch == '\r':
            out.append('\\r')
        elif ch == '\n':
            out.append('\\n')
        elif ch == '\t':
            out.append('\\t')
        elif 0x20 <= byte < 0x7f:
            out.append(ch)
        else:
            out.append('\\x%02x' % byte)
    return ''.join(out)


def block(rng):
    template = rng.choice([OBJECT, TRIGGER])
    values = dict(c='spawn it', i='bike1', m='vehicles/bmwbike.tik', x='512', y='-256', z='0',
                  a='0', b='90', d='0', s='1', t='open_door')
    key = rng.choice(list(values))
    pool = {'i': IDS, 't': THREADS, 'm': TEXTS, 'c': TEXTS}.get(key, NUMBERS)
    values[key] = rng.choice(pool)
    text = template.format(**values)
    if rng.random() < 0.3:  # a second block after it, as the script box holds them
        text += OBJECT.format(c='next', i='crate2', m='static/crate.tik', x='1', y='2', z='3',
                              a='0', b='0', d='0', s='1.0')
    return text


def edit(rng, text):
    for _ in range(rng.choice([1, 1, 1, 2, 3])):
        at = rng.randrange(len(text) + 1)
        kind = rng.random()
        if kind < 0.45:
            text = text[:at] + rng.choice(EDITS) + text[at:]
        elif kind < 0.75 and text:
            text = text[:at] + text[at + 1:]
        else:
            text = text[:at] + rng.choice(EDITS) + text[at + rng.randrange(1, 4):]
    return text


def fragment(rng):
    choice = rng.random()
    if choice < 0.35:
        text = block(rng)
    elif choice < 0.55:
        text = rng.choice(PIECES)
    elif choice < 0.85:
        text = edit(rng, rng.choice(PIECES))
    else:
        text = edit(rng, block(rng))
    if rng.random() < 0.5:
        text = text.replace('\r\n', '\n').replace('\n', '\r\n')
    if rng.random() < 0.3:
        text = 'main:\r\n' + text + 'end\r\n'
    return text.encode('utf-8')


def run(tool, path):
    result = subprocess.run([tool, path], capture_output=True, timeout=30)
    return result.returncode, result.stdout.decode('utf-8', 'replace')


def stop_line(m_rc, m_out, o_rc, o_out):
    """The line where the first reader to stop stops, where its report surely says it."""
    lines = []
    if m_rc == 1 and 'unexpected TOKEN_EOL' not in m_out and 'TOKEN_EOF' not in m_out:
        found = re.search(r'\(check, (\d+)\):', m_out)
        if found:  # one less than the line it means
            lines.append(int(found.group(1)) + 1)
    if o_rc == 1 and 'end of file' not in o_out and 'TOKEN_EOF' not in o_out:
        found = re.search(r'; line (\d+):', o_out)
        if found:
            lines.append(int(found.group(1)))
    if m_rc not in (0, 1) or (m_rc == 1 and not lines and o_rc == 0):
        return 0
    if m_rc == 1 and o_rc == 1 and len(lines) < 2:
        return 0  # only one of the two names its line: the other may stop sooner
    return min(lines) if lines else 0


# Which field of which block each kind of box fills.
BOX_KINDS = [('vector', OBJECT, 'y', NUMBERS), ('scale', OBJECT, 's', NUMBERS),
             ('argument', TRIGGER, 's', NUMBERS), ('idname', OBJECT, 'i', IDS),
             ('thread', TRIGGER, 't', THREADS), ('quoted', OBJECT, 'm', TEXTS)]


def box_rows(rng, morfuse, omoh, scratch, count):
    """One-box edits of a plain block, each with the verdict on the whole block."""
    path = os.path.join(scratch, 'box.scr')
    seen = set()
    rows = []
    while len(rows) < count:
        name, template, key, pool = rng.choice(BOX_KINDS)
        value = rng.choice(pool)
        if rng.random() < 0.6:
            value = edit(rng, value)
        value = value.replace('\r', '').replace('\n', '').replace('\x00', '')
        if (name, value) in seen or (not value and name in ('idname', 'thread', 'quoted')):
            continue
        seen.add((name, value))
        values = dict(c='c', i='a', m='m', x='0', y='0', z='0', a='0', b='0', d='0', s='1',
                      t='t')
        values[key] = value
        data = template.format(**values).encode('utf-8')
        if key == 's' and template is TRIGGER:  # the wait box only
            data = data.replace(b'delay ' + value.encode('utf-8'), b'delay 0')
        with open(path, 'wb') as f:
            f.write(data)
        m_rc, o_rc = run(morfuse, path)[0], run(omoh, path)[0]
        if m_rc not in (0, 1, 2) or o_rc not in (0, 1):
            continue  # a reader crashed: no verdict to learn from
        loads = m_rc == 0 and o_rc == 0
        rows.append('%s\t%s\t%s' % (name, 'loads' if loads else 'stops',
                                     escape(value.encode('utf-8'))))
    return rows


def main():
    check_dir = sys.argv[1]
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 1500
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 18)
    morfuse = os.path.join(check_dir, 'morfuse_check')
    omoh = os.path.join(check_dir, 'omoh_check')
    seen = set()
    out = []
    with tempfile.TemporaryDirectory() as scratch:
        path = os.path.join(scratch, 'fragment.scr')
        while len(out) < rows:
            data = fragment(rng)
            if data in seen:
                continue
            seen.add(data)
            with open(path, 'wb') as f:
                f.write(data)
            m_rc, m_out = run(morfuse, path)
            o_rc, o_out = run(omoh, path)
            if m_rc not in (0, 1, 2) or o_rc not in (0, 1):
                continue  # a reader crashed: no verdict to learn from
            loads = m_rc == 0 and o_rc == 0
            line = 0 if loads else stop_line(m_rc, m_out, o_rc, o_out)
            checked = 'reading' if 'compile stopped at command' in m_out else 'all'
            out.append('%s\t%s\t%d\t%s' % ('loads' if loads else 'stops', checked, line,
                                              escape(data)))
        boxes = box_rows(rng, morfuse, omoh, scratch, rows // 2)
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[4] if len(sys.argv) > 4 else os.path.join(here, '..', 'tests', 'data',
                                                                 'reader_table.txt')
    with open(target, 'w', newline='\n') as f:
        f.write('# verdict\tchecked\tline\tfragment -- written by make_reader_table.py; do not edit\n')
        f.write('\n'.join(out) + '\n')
    boxes_target = os.path.join(os.path.dirname(target), 'box_table.txt')
    with open(boxes_target, 'w', newline='\n') as f:
        f.write('# box\tverdict on its block\tvalue -- written by make_reader_table.py; '
                'do not edit\n')
        f.write('\n'.join(boxes) + '\n')


if __name__ == '__main__':
    main()
