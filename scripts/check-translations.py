#!/usr/bin/python3
"""Checks the English catalogue of the interface against the sources.

Runs lupdate over the source folders into a copy of the catalogue, with the
options the build uses, and fails (listing what it found) when
  - a text of the sources is not in the catalogue, or the catalogue holds a
    text the sources no longer have (the catalogue is not up to date:
    cmake --build build --target update_translations);
  - a text has no finished translation (empty, or marked unfinished);
  - a translation drops or adds a placeholder (%1, %2, ...).

Usage: check-translations.py LUPDATE TS_FILE SOURCE_ROOT DIR... -- LUPDATE_OPTION...
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def messages(path):
    """(context, source, comment) -> (translation text, translation type)."""
    out = {}
    for context in ET.parse(path).getroot().iter('context'):
        name = context.findtext('name', '')
        for message in context.iter('message'):
            key = (name, message.findtext('source', ''), message.findtext('comment', ''))
            translation = message.find('translation')
            if translation is None:
                out[key] = ('', 'unfinished')
            else:
                out[key] = (translation.text or '', translation.get('type', ''))
    return out


def placeholders(text):
    return sorted(set(re.findall(r'%([1-9][0-9]?)(?![0-9])', text)))


def show(key):
    context, source, comment = key
    return f'{context}: "{source}"' + (f' ({comment})' if comment else '')


def main(argv):
    if '--' not in argv or argv.index('--') < 5:
        print(__doc__, file=sys.stderr)
        return 2
    split = argv.index('--')
    lupdate, ts_file, root = argv[1:4]
    dirs, options = argv[4:split], argv[split + 1:]

    committed = messages(ts_file)
    with tempfile.TemporaryDirectory() as tmp:
        updated_path = os.path.join(tmp, os.path.basename(ts_file))
        shutil.copyfile(ts_file, updated_path)
        run = subprocess.run([lupdate, '-silent', '-I', root, '-extensions', 'cpp,h', *options, *dirs,
                              '-ts', updated_path], cwd=root, capture_output=True, text=True)
        if run.returncode != 0:
            print(run.stdout + run.stderr, file=sys.stderr)
            return 1
        updated = messages(updated_path)

    problems = []
    for key in sorted(updated.keys() - committed.keys()):
        problems.append(f'not in the catalogue: {show(key)}')
    for key in sorted(committed.keys() - updated.keys()):
        problems.append(f'no longer in the sources: {show(key)}')
    for key, (text, kind) in sorted(committed.items()):
        if not text.strip() or kind in ('unfinished', 'vanished', 'obsolete'):
            problems.append(f'no English translation: {show(key)}')
        elif placeholders(text) != placeholders(key[1]):
            problems.append(f'placeholders differ: {show(key)} -> "{text}"')

    print(f'{len(committed)} texts in {os.path.relpath(ts_file, root)}, {len(problems)} problem(s)')
    for p in problems:
        print('  ' + p)
    if problems:
        print('Bring the catalogue up to date with: cmake --build build --target update_translations,\n'
              'then translate what is marked unfinished (Qt Linguist, or the .ts in an editor).')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
