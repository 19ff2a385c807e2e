#!/usr/bin/env python3
"""Checks the port's files against what PortMaster asks of a new port:
    check-port-files.py TREE ZIP PORTER SOURCE_URL VERSION RELEASE_DATE
TREE is the folder a pull request adds (ports/landscape), ZIP the release
zip. Prints one line per check, NAME<tab>0|1<tab>DETAIL, for check-port.sh.
"""
import json
import pathlib
import re
import sys
import xml.etree.ElementTree as ElementTree
import zipfile

tree, zip_path, porter, source_url, version, release_date = sys.argv[1:]
tree = pathlib.Path(tree)
name = tree.name


def report(title, failures):
    detail = '; '.join(failures) if failures else ''
    print(f"{title}\t{1 if failures else 0}\t{detail}".replace('\n', ' '))


def expect(failures, condition, what):
    if not condition:
        failures.append(what)


# The folder: the files PortMaster's release script requires at its top, the
# launcher, and one folder of the port's own name (its naming rules).
problems = []
files = sorted(str(path.relative_to(tree)) for path in tree.rglob('*') if path.is_file())
expected = ['Landscape.sh', 'README.md', 'cover.png', 'gameinfo.xml', 'landscape/landscape.aarch64',
            'landscape/landscape.gptk', 'landscape/libs.aarch64/libSDL-1.2.so.0',
            'landscape/licenses/LICENSE.gptokeyb.txt', 'landscape/licenses/LICENSE.landscape.txt',
            'landscape/licenses/LICENSE.libstdc++-libgcc.txt', 'landscape/licenses/LICENSE.sdl12-compat.txt',
            'port.json', 'screenshot.png']
expect(problems, files == expected, f"files {files}")
expect(problems, re.fullmatch(r'[a-z0-9][a-z0-9._]*', name) is not None, f"bad port name {name}")
scripts = [path.name for path in tree.iterdir() if path.name.endswith('.sh')]
expect(problems, scripts == ['Landscape.sh'] and scripts[0][0].isupper(), f"scripts {scripts}")
expect(problems, all((tree / item).stat().st_mode & 0o111 for item in ('Landscape.sh', 'landscape/landscape.aarch64')),
       "launcher or program not executable")
licence = tree / 'landscape/licenses/LICENSE.landscape.txt'
expect(problems, licence.is_file() and licence.read_text().startswith('MIT License'), "the program's MIT licence")
report("the pull request's folder: metadata at the top, launcher, landscape/ with the program, libraries,"
       " gptk and licences", problems)

# The zip as the release script makes it from that folder: the top's metadata
# moved into the port's folder, the README named after the port, files only,
# in the order of their lower-cased names, every byte the folder's.
problems = []
moved = {'README.md': f'{name}/{name}.md', 'port.json': f'{name}/port.json', 'gameinfo.xml': f'{name}/gameinfo.xml',
         'screenshot.png': f'{name}/screenshot.png', 'cover.png': f'{name}/cover.png'}
wanted = sorted(((moved.get(file, file), file) for file in files), key=lambda pair: pair[0].lower())
with zipfile.ZipFile(zip_path) as archive:
    entries = archive.namelist()
    expect(problems, entries == [entry for entry, _ in wanted], f"entries {entries}")
    for entry, file in wanted:
        if entry in entries:
            expect(problems, archive.read(entry) == (tree / file).read_bytes(), f"{entry} differs from {file}")
            mode = archive.getinfo(entry).external_attr >> 16
            expect(problems, bool(mode & 0o111) == bool((tree / file).stat().st_mode & 0o111), f"{entry} mode")
report("the zip is that folder in the release script's layout (landscape.md, metadata in landscape/)", problems)

# port.json: version 4's fields in the order PortMaster's generator writes
# them, with this port's values.
problems = []
text = (tree / 'port.json').read_text()
port = json.loads(text)
attr = port.get('attr', {})
expect(problems, list(port) == ['version', 'name', 'items', 'items_opt', 'attr'], f"keys {list(port)}")
expect(problems, list(attr) == ['title', 'porter', 'desc', 'desc_md', 'inst', 'inst_md', 'genres', 'image', 'rtr',
                                'exp', 'runtime', 'store', 'availability', 'reqs', 'arch', 'min_glibc'],
       f"attr keys {list(attr)}")
expect(problems, port.get('version') == 4 and port.get('name') == f'{name}.zip', "version or name")
expect(problems, port.get('items') == ['Landscape.sh', f'{name}/'] and port.get('items_opt') == [], "items")
expect(problems, attr.get('title') == 'Landscape' and attr.get('porter') == [porter], f"porter {attr.get('porter')}")
expect(problems, isinstance(attr.get('desc'), str) and 'flyover' in attr['desc'], "desc")
expect(problems, all(attr.get(key) is None or isinstance(attr.get(key), str) for key in ('desc_md', 'inst_md')),
       "desc_md, inst_md")
expect(problems, attr.get('inst') == 'Ready to run.', f"inst {attr.get('inst')!r}")
genres = ['action', 'adventure', 'arcade', 'casino/card', 'fps', 'platformer', 'puzzle', 'racing', 'rhythm', 'rpg',
          'simulation', 'sports', 'strategy', 'visual novel', 'other']
expect(problems, attr.get('genres') == ['simulation'] and set(attr['genres']) <= set(genres), "genres")
expect(problems, attr.get('rtr') is True and attr.get('exp') is False and attr.get('image') is None, "rtr, exp, image")
expect(problems, attr.get('runtime') == [] and attr.get('store') == [] and attr.get('reqs') == [], "runtime, store, reqs")
expect(problems, attr.get('availability') == 'full' and attr.get('arch') == ['aarch64'], "availability, arch")
expect(problems, attr.get('min_glibc') == '2.30', f"min_glibc {attr.get('min_glibc')!r}")
expect(problems, text == json.dumps(port, indent=2, ensure_ascii=False) + '\n', "not the generator's layout")
report("port.json: version 4's fields, ready to run, aarch64, glibc 2.30, the porter given", problems)

# gameinfo.xml: every field PortMaster's metadata editor requires, in its order.
problems = []
game = ElementTree.parse(tree / 'gameinfo.xml').getroot().find('game')
fields = [child.tag for child in game] if game is not None else []
expect(problems, fields == ['path', 'name', 'desc', 'releasedate', 'developer', 'publisher', 'genre', 'image'],
       f"fields {fields}")
expect(problems, game is not None and all((child.text or '').strip() for child in game), "an empty field")
if game is not None:
    expect(problems, game.findtext('path') == './Landscape.sh' and game.findtext('name') == 'Landscape', "path, name")
    expect(problems, game.findtext('releasedate') == release_date.replace('-', '') + 'T000000',
           f"releasedate {game.findtext('releasedate')}")
    expect(problems, game.findtext('image') == f'./{name}/cover.png', f"image {game.findtext('image')}")
report("gameinfo.xml: path, name, desc, releasedate (the release date), developer, publisher, genre, cover",
       problems)

# README.md in PortMaster's layout.
problems = []
readme = (tree / 'README.md').read_text()
headings = re.findall(r'^## .*$', readme, re.M)
expect(problems, headings == ['## Notes', '## Controls', '## Compile'], f"headings {headings}")
notes = readme.split('## Controls')[0]
expect(problems, 'Thanks' in notes and source_url in notes and version in notes, "thanks, source link, version")
controls = readme.split('## Controls')[-1].split('## Compile')[0]
rows = re.findall(r'^\|(.*)\|(.*)\|$', controls, re.M)
table = {button.strip(): action.strip() for button, action in rows}
expect(problems, rows[:2] == [(' Button ', ' Action '), ('--', '--')], "the Button | Action table")
expect(problems, table.get('START + SELECT', '').startswith('force quit') and 'released' in table.get('SELECT', ''),
       "SELECT, START + SELECT")
expect(problems, '```shell\n' in readme and f'git clone {source_url} ' in readme and '\nmake port ' in readme,
       "compile commands")
expect(problems, '@' not in readme.replace('git@', ''), "a placeholder left")
report("README.md: Notes (thanks, source link), Controls (Button/Action), Compile (commands)", problems)

# The launcher: PortMaster's template line for line (quotes aside); any line
# the template does not have follows a comment saying why.
problems = []
template = r'''#!/bin/bash
XDG_DATA_HOME=${XDG_DATA_HOME:-$HOME/.local/share}
if [ -d /opt/system/Tools/PortMaster/ ]; then
controlfolder=/opt/system/Tools/PortMaster
elif [ -d /opt/tools/PortMaster/ ]; then
controlfolder=/opt/tools/PortMaster
elif [ -d $XDG_DATA_HOME/PortMaster/ ]; then
controlfolder=$XDG_DATA_HOME/PortMaster
else
controlfolder=/roms/ports/PortMaster
fi
source $controlfolder/control.txt
[ -f ${controlfolder}/mod_${CFW_NAME}.txt ] && source ${controlfolder}/mod_${CFW_NAME}.txt
get_controls
GAMEDIR=/$directory/ports/landscape
cd $GAMEDIR
> $GAMEDIR/log.txt && exec > >(tee $GAMEDIR/log.txt) 2>&1
export LD_LIBRARY_PATH=$GAMEDIR/libs.${DEVICE_ARCH}:$LD_LIBRARY_PATH
export SDL_GAMECONTROLLERCONFIG=$sdl_controllerconfig
$GPTOKEYB landscape.${DEVICE_ARCH} -c ./landscape.gptk &
pm_platform_helper $GAMEDIR/landscape.${DEVICE_ARCH}
./landscape.${DEVICE_ARCH}
pm_finish'''.split('\n')
lines = (tree / 'Landscape.sh').read_text().split('\n')
code = [(index, line.strip().replace('"', '')) for index, line in enumerate(lines)
        if line.strip() and (not line.lstrip().startswith('#') or index == 0)]
found = [line for _, line in code if line in template]
expect(problems, found == template, f"template lines missing or out of order: {sorted(set(template) - set(found))}")
for index, line in code:
    if line in template:
        continue
    above = index - 1
    while above >= 0 and lines[above].strip() and not lines[above].lstrip().startswith('#') \
            and lines[above].strip().replace('"', '') not in template:
        above -= 1
    expect(problems, above >= 0 and lines[above].lstrip().startswith('#'), f"line {index + 1} without a comment")
shown = [line for _, line in code if re.match(r'(echo|printf)\b', line)]
expect(problems, not shown, f"shown without pm_message: {shown}")
expect(problems, code[-1][1] == 'pm_finish', "pm_finish is not the last line")
report("the launcher: PortMaster's template line for line, ${DEVICE_ARCH}, SDL_GAMECONTROLLERCONFIG, pm_finish;"
       " added lines commented", problems)

# The gptk, read as gptokeyb reads it (src/config.cpp, src/util.cpp) over its
# own defaults (src/structs.h): the key each button, and each button held
# with the hotkey, sends.
problems = []
defaults = {'back': 'esc', 'start': 'enter', 'guide': 'enter', 'a': 'x', 'b': 'z', 'x': 'c', 'y': 'a',
            'l1': 'rightshift', 'l2': 'home', 'l3': 'mouse_right', 'r1': 'leftshift', 'r2': 'end',
            'r3': 'mouse_left', 'up': 'up', 'down': 'down', 'left': 'left', 'right': 'right',
            'left_analog_up': 'w', 'left_analog_down': 's', 'left_analog_left': 'a', 'left_analog_right': 'd',
            'right_analog_up': 'end', 'right_analog_down': 'home', 'right_analog_left': 'left',
            'right_analog_right': 'right', 'a_hk': 'enter', 'b_hk': 'esc', 'x_hk': 'c', 'y_hk': 'a',
            'l1_hk': 'esc', 'l2_hk': 'home', 'r1_hk': 'enter', 'r2_hk': 'end'}
# Key names gptokeyb knows that this map may use; any other value (\" by
# convention) is no key at all.
known = {'up', 'down', 'left', 'right', 'space', 'esc', 'enter'}
sends = dict(defaults)
for number, line in enumerate((tree / 'landscape/landscape.gptk').read_text().split('\n'), 1):
    words = line.split()
    if not words:
        continue
    if words[0].startswith('#'):
        # gptokeyb skips a comment to the end of the line only after failing
        # to read "word = word" from it: a bare # eats the next line.
        expect(problems, len(words) > 1 and words[1] != '=', f"line {number}: a comment gptokeyb misreads")
        continue
    if len(words) != 3 or words[1] != '=' or words[0] not in defaults:
        problems.append(f"line {number}: {line!r}")
        continue
    expect(problems, words[2] in known or words[2] == '\\"', f"line {number}: unknown key {words[2]}")
    sends[words[0]] = words[2] if words[2] in known else None
want = {button: None for button in defaults}
want.update({'up': 'up', 'down': 'down', 'left': 'left', 'right': 'right', 'left_analog_up': 'up',
             'left_analog_down': 'down', 'left_analog_left': 'left', 'left_analog_right': 'right',
             'back': 'space', 'a': 'space', 'start': 'esc'})
combos = {button: key for button, key in sends.items() if button.endswith('_hk') and key is not None}
expect(problems, not combos, f"hotkey combinations still assigned: {combos}")
quits = sorted(button for button, key in sends.items() if key == 'esc')
expect(problems, quits == ['start'], f"Escape (quit) from {quits}")
expect(problems, sends == want, f"map {sorted(set(sends.items()) - set(want.items()))}")
report("the gptk: arrows, Space on A and SELECT, Escape on START only; no hotkey combination assigned", problems)
