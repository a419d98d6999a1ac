#!/usr/bin/env python3
"""The program's texts in every language, from the gettext catalogues in po/.

  catalogues.py OUTPUT.cpp [--without CONTEXT]... [--without-source FILE]... [--without-window-texts]
                           [--json OUTPUT.json]
                                writes the table the program reads (pattern/translation.h),
                                leaving out the texts of CONTEXT (the page has no command line),
                                those that only FILEs mark (the window's own) and, with
                                --without-window-texts, those marked ORVANE_WINDOW_NOOP (the
                                window's own, written in pattern/ beside the page's);
                                with --json, the languages' texts go to OUTPUT.json instead
                                and the table holds the keys alone (the page carries its
                                languages as text: pattern/translation.h, AddCatalogue)
  catalogues.py --extract POT   writes the template: every text the code marks (xgettext)
  catalogues.py --check         compares the template with the code and every catalogue
  catalogues.py --desktop|--xml TEMPLATE OUTPUT
                                a desktop entry or AppStream metainfo with every language's
                                fields (Comment[de]=, xml:lang="de"), by msgfmt

Writing the table checks every catalogue against the template po/orvane.pot and
stops the build, naming each language and text, where a catalogue lacks a text,
holds one the program no longer has, leaves one untranslated or fuzzy, or drops
or adds a placeholder. --check also fails where the code marks a text that the
template lacks or the template holds one that the code no longer marks
(`make po` brings the template and catalogues up to date).

A text for a fixed box (context "button", "caption" or "title bar", the
page's) may carry shorter forms
for the screen after the full one, each after a "|", longest first: they become
Qt's length variants.
"""
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import polib  # the maintained PO reader; Debian: python3-polib
except ImportError:
    # Another python3 first on the PATH (a virtual environment, pyenv) lacks
    # Debian's modules: the system's own has them.
    system = '/usr/bin/python3'
    if os.path.exists(system) and os.path.realpath(sys.executable) != os.path.realpath(system):
        os.execv(system, [system] + sys.argv)
    raise SystemExit('catalogues.py reads the catalogues with polib: install python3-polib')

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PO = os.path.join(ROOT, 'po')
SOURCES = ['pattern/*.cpp', 'pattern/*.h', 'window/*.cpp', 'window/*.h', 'editions/*.cpp', 'editions/*.h', 'web/*.cpp']
# Text() is the window's Tr() giving a QString (window/main_window.cpp).
# ORVANE_WINDOW_NOOP marks a text only the window shows: the template says so
# in a comment of its own, which --without-window-texts reads.
WINDOW_ONLY = 'Only the window shows this text.'
KEYWORDS = ['Tr:1c,2', 'ORVANE_NOOP:1c,2', 'TrPlural:1c,2,3', 'Text:1c,2',
            f'ORVANE_WINDOW_NOOP:1c,2,"{WINDOW_ONLY}"']
VARIANT_CONTEXTS = {'button', 'caption', 'title bar'}


def read_po(path):
    """Entries of a PO file: {(context, id): {'plural', 'forms', 'fuzzy', 'line'}}."""
    try:
        catalogue = polib.pofile(path, encoding='utf-8', wrapwidth=0)
    except (IOError, ValueError) as error:
        raise SystemExit(f'{path}: {error}')
    for entry in catalogue.obsolete_entries():
        raise SystemExit(f'{path}:{entry.linenum}: an obsolete text; delete it (make po does)')
    entries = {}
    for entry in catalogue:
        if entry.msgid == '':
            continue
        if entry.msgid_plural:
            forms = [entry.msgstr_plural[k] for k in sorted(entry.msgstr_plural)]
        else:
            forms = [entry.msgstr]
        entries[(entry.msgctxt or '', entry.msgid)] = {
            'plural': entry.msgid_plural or None, 'forms': forms,
            'fuzzy': 'fuzzy' in entry.flags, 'line': entry.linenum,
            'files': {path for path, _ in entry.occurrences},
            'window_only': WINDOW_ONLY in entry.comment.split('\n')}
    return entries


def placeholders(text):
    return sorted(set(re.findall(r'%[1-9n]', text)))


def describe(key):
    context, text = key
    return f'[{context}] "{text}"'


def check_catalogue(path, template):
    """Problems of one catalogue against the template, one line each."""
    code = os.path.basename(path)[:-3]
    entries = read_po(path)
    problems = []
    for key in template:
        if key not in entries:
            problems.append(f'{code}: missing {describe(key)}')
            continue
        e = entries[key]
        if e['fuzzy']:
            problems.append(f'{code}: fuzzy (check it and remove the flag) {describe(key)}')
        if not e['forms'] or any(f == '' for f in e['forms']):
            problems.append(f'{code}: untranslated {describe(key)}')
            continue
        wanted = placeholders(key[1] + (template[key]['plural'] or ''))
        for form in e['forms']:
            if placeholders(form) != wanted and not (template[key]['plural'] and
                                                    placeholders(form) == sorted(set(wanted) - {'%n'})):
                problems.append(f'{code}: placeholders {placeholders(form)} where the English has '
                                f'{wanted} in {describe(key)}')
            if '|' in form and key[0] not in VARIANT_CONTEXTS and '|' not in key[1]:
                problems.append(f'{code}: shorter forms ("|") only on a button or caption: {describe(key)}')
    for key in entries:
        if key not in template:
            problems.append(f'{code}: no longer in the program (delete it, or run make po) {describe(key)}')
    return code, entries, problems


def c_string(text):
    out = []
    for byte in text.encode('utf-8'):
        c = chr(byte)
        if c in '"\\':
            out.append('\\' + c)
        elif 32 <= byte < 127:
            out.append(c)
        else:
            out.append('\\%03o' % byte)
    return '"' + ''.join(out) + '"'


def write_if_changed(output, text):
    if not os.path.exists(output) or open(output, encoding='utf-8').read() != text:
        with open(output, 'w', encoding='utf-8') as f:
            f.write(text)


def write_table(output, without=(), json_output=None, without_sources=(), without_window=False):
    template = read_po(os.path.join(PO, 'orvane.pot'))
    catalogues, problems = {'en': {k: {'forms': [k[1]] + ([v['plural']] if v['plural'] else [])}
                                   for k, v in template.items()}}, []
    for path in sorted(glob.glob(os.path.join(PO, '*.po'))):
        code, entries, found = check_catalogue(path, template)
        catalogues[code] = entries
        problems += found
    if problems:
        sys.stderr.write('The catalogues in po/ do not match the program\'s texts:\n  ' +
                         '\n  '.join(problems) + '\n')
        sys.exit(1)
    # Every key once; each language but English (whose texts are the keys)
    # only its translations, in the keys' order, then the counted texts'
    # further forms.
    keys = sorted(k for k in template if k[0] and k[0] not in without
                  and not (template[k]['files'] and template[k]['files'] <= set(without_sources))
                  and not (without_window and template[k]['window_only']))
    counted = [i for i, k in enumerate(keys) if template[k]['plural']]
    lines = ['// Written by scripts/catalogues.py from po/*.po; edit the catalogues, not this.',
             '#include "pattern/translation.h"', '', 'namespace orvane {', '', 'namespace {', '',
             'constexpr CatalogueKey kKeys[] = {']
    lines += [f'    {{{c_string(k[0])}, {c_string(k[1])}}},' for k in keys]
    lines += ['};', '', 'constexpr std::uint16_t kCounted[] = {' + ', '.join(map(str, counted)) + '};', '']
    names = []
    languages = {}  # code: its cells, in the table's order, for --json
    for code, entries in catalogues.items():
        if code == 'en':
            continue
        name = 'k' + re.sub(r'[^A-Za-z0-9]', '', code)
        names.append((code, name))

        def forms_of(key):
            forms = entries[key]['forms']
            return [f.replace('|', '\u009c') for f in forms] if key[0] in VARIANT_CONTEXTS else forms
        cells = [forms_of(k)[0] for k in keys]
        for i in counted:
            further = forms_of(keys[i])[1:]
            cells += further + [None] * (2 - len(further))
        languages[code] = cells
        if json_output:
            continue
        lines.append(f'constexpr const char *{name}[] = {{')
        lines += [f'    {c_string(c) if c is not None else "nullptr"},' for c in cells]
        lines.append('};')
    if json_output:
        # Text as text, but the control characters (U+009C, the shorter forms'
        # separator) escaped: the page carries this in its script.
        text = json.dumps(languages, ensure_ascii=False, separators=(',', ':'))
        write_if_changed(json_output, re.sub('[\x7f-\x9f]', lambda m: '\\u%04x' % ord(m.group()), text) + '\n')
        table = 'constexpr CatalogueTable kTable{kKeys, kCounted, {}};'
    else:
        lines += ['', 'constexpr Catalogue kTranslations[] = {']
        lines += [f'    {{{c_string(code)}, {name}}},' for code, name in names]
        lines += ['};']
        table = 'constexpr CatalogueTable kTable{kKeys, kCounted, kTranslations};'
    lines += ['', table, '',
              '} // namespace', '', 'const CatalogueTable &Catalogues()', '{',
              '    return kTable;', '}', '', '} // namespace orvane', '']
    write_if_changed(output, '\n'.join(lines))


def extract(pot):
    files = sorted(f for pattern in SOURCES for f in glob.glob(os.path.join(ROOT, pattern)))
    subprocess.run(['xgettext', '--from-code=UTF-8', '--language=C++', '--add-comments=:',
                    '--sort-output', '--no-wrap', '--omit-header', '--keyword'] +
                   [f'--flag={k.split(":")[0]}:2:no-c-format' for k in KEYWORDS] +
                   [f'--keyword={k}' for k in KEYWORDS] + ['-o', pot] +
                   [os.path.relpath(f, ROOT) for f in files], check=True, cwd=ROOT)
    # The desktop entries' and AppStream files' texts (not the product's name),
    # which have no context: the program's table leaves them out.
    subprocess.run(['xgettext', '-j', '--language=Desktop', '--sort-output', '--no-wrap', '--omit-header',
                    '--keyword', '--keyword=GenericName', '--keyword=Comment', '--keyword=Keywords', '-o', pot] +
                   [os.path.relpath(f, ROOT) for f in sorted(glob.glob(os.path.join(ROOT, 'packaging', '*.desktop')))], check=True, cwd=ROOT)
    subprocess.run(['xgettext', '-j', '--sort-output', '--no-wrap', '--omit-header',
                    '--its=/usr/share/gettext/its/metainfo.its', '-o', pot] +
                   [os.path.relpath(f, ROOT) for f in sorted(glob.glob(os.path.join(ROOT, 'packaging', '*.metainfo.xml.in')))], check=True, cwd=ROOT)


def localized(kind, template, output):
    """Every language's fields into a desktop entry or a metainfo file."""
    shutil.copyfile(template, output)
    for path in sorted(glob.glob(os.path.join(PO, '*.po'))):
        locale = os.path.basename(path)[:-3].replace('-', '_')  # pt-BR -> pt_BR, as both formats name it
        subprocess.run(['msgfmt', kind, '--template', output, '-l', locale, '-o', output + '.new', path],
                       check=True)
        os.replace(output + '.new', output)


def check():
    template = read_po(os.path.join(PO, 'orvane.pot'))
    with tempfile.TemporaryDirectory() as scratch:
        fresh = os.path.join(scratch, 'fresh.pot')
        extract(fresh)
        marked = read_po(fresh) if os.path.exists(fresh) else {}
    problems = [f'template: missing {describe(k)} (run make po)' for k in marked if k not in template]
    problems += [f'template: no longer in the code {describe(k)} (run make po)' for k in template
                 if k not in marked]
    for path in sorted(glob.glob(os.path.join(PO, '*.po'))):
        problems += check_catalogue(path, template)[2]
    print('\n'.join(problems) if problems else f'{len(template)} texts, every catalogue complete')
    return 1 if problems else 0


if __name__ == '__main__':
    if sys.argv[1:2] in (['--desktop'], ['--xml']):
        localized(sys.argv[1], sys.argv[2], sys.argv[3])
    elif sys.argv[1:2] == ['--extract']:
        extract(sys.argv[2])
    elif sys.argv[1:2] == ['--check']:
        sys.exit(check())
    else:
        arguments = sys.argv[2:]
        without_window = '--without-window-texts' in arguments
        arguments = [a for a in arguments if a != '--without-window-texts']
        options = [(arguments[i], arguments[i + 1]) for i in range(0, len(arguments) - 1, 2)]
        write_table(sys.argv[1], [v for k, v in options if k == '--without'],
                    next((v for k, v in options if k == '--json'), None),
                    [v for k, v in options if k == '--without-source'], without_window)
