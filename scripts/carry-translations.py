#!/usr/bin/python3
"""Carries finished translations over to texts that moved to another context.

When a text of the interface moves to another class, lupdate files it under
the new class as unfinished. This fills every unfinished entry of the
catalogue whose source text has a finished translation elsewhere: in the
catalogue itself or in an earlier version of it (git's, by default).

usage: carry-translations.py [CATALOGUE.ts] [EARLIER.ts]
  defaults: app/translations/kolven-assistant_en.ts, and its version at HEAD."""
import html, re, subprocess, sys

path = sys.argv[1] if len(sys.argv) > 1 else "app/translations/kolven-assistant_en.ts"
text = open(path, encoding="utf-8").read()
if len(sys.argv) > 2:
    earlier = open(sys.argv[2], encoding="utf-8").read()
else:
    earlier = subprocess.run(["git", "show", "HEAD:" + path], capture_output=True, text=True).stdout

MESSAGE = re.compile(r"<message>(.*?)</message>", re.S)
SOURCE = re.compile(r"<source>(.*?)</source>", re.S)
DONE = re.compile(r"<translation>(.*?)</translation>", re.S)
UNFINISHED = re.compile(r'<translation type="unfinished">(.*?)</translation>', re.S)

known = {}
for body in MESSAGE.findall(earlier) + MESSAGE.findall(text):
    s, t = SOURCE.search(body), DONE.search(body)
    if s and t and t.group(1):
        known.setdefault(s.group(1), t.group(1))

filled = 0
def fill(m):
    global filled
    body = m.group(1)
    s = SOURCE.search(body)
    if not s or not UNFINISHED.search(body) or s.group(1) not in known:
        return m.group(0)
    filled += 1
    return "<message>" + UNFINISHED.sub(lambda _: "<translation>" + known[s.group(1)] + "</translation>", body) + "</message>"

text = MESSAGE.sub(fill, text)
open(path, "w", encoding="utf-8").write(text)
left = len(UNFINISHED.findall(text))
print("%d translations carried over; %d texts still unfinished" % (filled, left))
sys.exit(1 if left else 0)
