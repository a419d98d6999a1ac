#!/usr/bin/env python3
"""The layers, as the includes say them (docs/development.md, "Code layout").

  check_layers.py [ROOT]

Reads every #include in pattern/, window/, editions/ and web/*.cpp|h (not the
page's script, not web/tests/, which drives the desktop beside the page) and
fails, naming the file and line, where an include crosses a layer:

  pattern/   the rules, no Qt: includes nothing outside pattern/ and no Qt header;
  web/       the page's glue over the rules: nothing from window/ or editions/,
             no Qt header;
  window/    the Qt window over the rules: nothing from editions/ or web/;
  editions/  the two programs and the command line: of window/ only what opens
             the window and writes its figures (window/main_window.h,
             window/figure.h); the command line's tables come from pattern/.

Exit status 0 when every include keeps to its layer, 1 otherwise.
"""
import os
import re
import sys

ROOT = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else \
    os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# Qt's headers: <QString>, <QtCore/QString>, <QtGlobal>, <qglobal.h>, and the
# code moc writes ("pulse_output.moc").
QT_HEADER = re.compile(r'^(Qt\w*/|Q[A-Z]\w*$|Qt\w*$|q\w+\.h$)|\.moc$')
SOURCE = re.compile(r'\.(cpp|h)$')

# Of window/, editions/ include only these.
EDITIONS_MAY_INCLUDE = {'window/main_window.h', 'window/figure.h'}


def layer_of(path):
    """The layer a quoted include names: its first folder ('pattern', ...)."""
    return path.split('/', 1)[0]


def problem_of(folder, bracket, name):
    """What is wrong with one include, <name> or "name", of a file of `folder`."""
    qt = QT_HEADER.search(name) is not None
    if bracket == '<':
        if qt and folder in ('pattern', 'web'):
            return f'{folder}/ includes no Qt header: <{name}>'
        return None
    # A quoted name without a folder is a file beside the one including it.
    target = name if '/' in name else f'{folder}/{name}'
    target_layer = layer_of(target)
    if folder == 'pattern':
        if qt:
            return f'pattern/ includes no Qt header: "{name}"'
        if target_layer != 'pattern':
            return f'pattern/ includes nothing outside pattern/: "{name}"'
    elif folder == 'web':
        if target_layer in ('window', 'editions'):
            return f'web/ includes nothing from {target_layer}/: "{name}"'
        if qt:
            return f'web/ includes no Qt header: "{name}"'
    elif folder == 'window':
        if target_layer in ('editions', 'web'):
            return f'window/ includes nothing from {target_layer}/: "{name}"'
    elif folder == 'editions':
        if target_layer == 'web':
            return f'editions/ includes nothing from web/: "{name}"'
        if target_layer == 'window' and target not in EDITIONS_MAY_INCLUDE:
            allowed = ' and '.join(sorted(EDITIONS_MAY_INCLUDE))
            return f'editions/ includes of window/ only {allowed}: "{name}"'
    return None


def files():
    """(folder, path relative to ROOT) of every file the layers hold."""
    for folder in ('pattern', 'window', 'editions', 'web'):
        directory = os.path.join(ROOT, folder)
        # web/ is read at its top only: web/tests/ holds the desktop's side of
        # the page's comparisons, web/page/ the page's script.
        for name in sorted(os.listdir(directory)):
            if SOURCE.search(name) and os.path.isfile(os.path.join(directory, name)):
                yield folder, f'{folder}/{name}'


def main():
    found = []
    read = 0
    for folder, relative in files():
        read += 1
        with open(os.path.join(ROOT, relative), encoding='utf-8') as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                problem = problem_of(folder, match.group(1), match.group(2).strip())
                if problem:
                    found.append(f'{relative}:{number}: {problem}')
    if found:
        print('\n'.join(found))
        print(f'{len(found)} include(s) cross the layers (docs/development.md, "Code layout")')
        return 1
    print(f'{read} files of pattern/, window/, editions/ and web/: every include keeps to its layer')
    return 0


if __name__ == '__main__':
    sys.exit(main())
