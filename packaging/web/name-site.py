#!/usr/bin/env python3
"""Names a made site's files by their content and writes what the page and its worker must know.

  name-site.py SITE_DIR

The program, the page's script, the microphone's worklet, the fonts and the media get their hash in their names (a host may keep
them for ever); the page's script and the worker get the site's list: every file's name, size and
SHA-256, the languages, and one build id for the whole site (any file changed is a new build).
"""
import base64
import hashlib
import json
import os
import re
import sys


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def entry(site, rel):
    path = os.path.join(site, rel)
    return {"url": rel, "size": os.path.getsize(path), "sha256": sha256(path)}


def named(site, rel):
    """Renames REL to carry its hash (ozzel.js -> ozzel.1a2b3c4d5e6f.js); returns its entry."""
    digest = sha256(os.path.join(site, rel))
    base, ext = (rel[:-7], ".tar.gz") if rel.endswith(".tar.gz") else os.path.splitext(rel)
    new = "%s.%s%s" % (base, digest[:12], ext)
    os.rename(os.path.join(site, rel), os.path.join(site, new))
    return entry(site, new)


def substitute(path, value):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    marker = re.compile(r"/\*@SITE@\*/ *\{[^\n]*\}")
    if not marker.search(text):
        sys.exit("name-site: no /*@SITE@*/ in " + path)
    with open(path, "w", encoding="utf-8") as f:
        f.write(marker.sub(lambda _: json.dumps(value, separators=(",", ":")), text, count=1))


def main():
    site = sys.argv[1]
    files = {}
    for rel in ("ozzel.js", "ozzel.wasm", "ozzel.data", "capture.js"):
        files[rel] = named(site, rel)
    with open(os.path.join(site, files["ozzel.js"]["url"]), "rb") as f:
        files["ozzel.js"]["sri"] = "sha384-" + base64.b64encode(hashlib.sha384(f.read()).digest()).decode()
    fonts = []
    for name in sorted(os.listdir(os.path.join(site, "fonts"))):
        rel = "fonts/" + name
        files[rel] = named(site, rel)
        family = "DejaVu Sans" if name.startswith("DejaVu") else "Liberation Sans"
        fonts.append([family, "bold" if "Bold" in name else "normal", rel])
    media = {}
    for name in sorted(os.listdir(os.path.join(site, "media"))):
        if name.endswith(".tar.gz"):
            media[name[:-7]] = named(site, "media/" + name)
    languages = [l for l in sys.argv[2].split()] if len(sys.argv) > 2 else sorted(media)
    languages = [l for l in languages if l in media]
    # One id for everything the site holds: the page's script carries it, and so does the worker.
    whole = hashlib.sha256()
    for e in sorted(list(files.values()) + list(media.values()), key=lambda e: e["url"]):
        whole.update((e["url"] + e["sha256"]).encode())
    for rel in sorted(["index.html", "start.js", "manifest.webmanifest", "cekani.png", "pozadi.png"] +
                      ["icons/" + n for n in os.listdir(os.path.join(site, "icons"))]):
        whole.update((rel + sha256(os.path.join(site, rel))).encode())
    build = whole.hexdigest()[:12]
    substitute(os.path.join(site, "start.js"),
               {"build": build, "languages": languages, "files": files, "media": media, "fonts": fonts})
    start = named(site, "start.js")
    index = os.path.join(site, "index.html")
    with open(index, encoding="utf-8") as f:
        html = f.read()
    if '"start.js"' not in html:
        sys.exit("name-site: index.html does not load start.js")
    with open(index, "w", encoding="utf-8") as f:
        f.write(html.replace('"start.js"', '"%s"' % start["url"]))
    plain = [entry(site, rel) for rel in sorted(["index.html", "manifest.webmanifest", "cekani.png", "pozadi.png"] +
                                                ["icons/" + n for n in os.listdir(os.path.join(site, "icons"))])]
    substitute(os.path.join(site, "sw.js"),
               {"build": build, "named": sorted(list(files.values()) + [start], key=lambda e: e["url"]),
                "plain": plain, "media": media})
    print(build)


main()
