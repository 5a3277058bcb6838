#!/usr/bin/python3
"""Every translation is complete, current and keeps its placeholders.

Refreshes a copy of each .ts file from the source texts with lupdate (so a
text added to the code without a translation counts as missing, even before
anyone ran the update target), then fails on any entry that is unfinished or
empty, and on any translation whose placeholders (%1, %2, %n) differ from its
source's, which would show a raw "%1" or drop a value on screen.

Usage: check_translations.py LUPDATE SOURCE_FOLDER TS_FILE...
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r"%(?:\d+|n|L\d+|Ln)")


def placeholders(text):
    return sorted(set(PLACEHOLDER.findall(text or "")))


def problems_in(path):
    problems = []
    root = ET.parse(path).getroot()
    count = 0
    for context in root.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            count += 1
            source = message.findtext("source") or ""
            where = f"{name}: \"{source[:60]}\""
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "missing"
            if kind in ("unfinished", "missing"):
                problems.append(f"{where} is not translated")
                continue
            if kind in ("obsolete", "vanished"):
                continue
            forms = [f.text or "" for f in translation.iter("numerusform")]
            if message.get("numerus") == "yes":
                if not forms or any(not f.strip() for f in forms):
                    problems.append(f"{where} lacks a plural form")
            else:
                forms = [translation.text or ""]
                if not forms[0].strip():
                    problems.append(f"{where} has an empty translation")
            for form in forms:
                wanted = placeholders(source)
                if message.get("numerus") == "yes":
                    # A form for exactly one may write the number out.
                    wanted = [p for p in wanted if p not in ("%n", "%Ln")]
                    got = [p for p in placeholders(form) if p not in ("%n", "%Ln")]
                else:
                    got = placeholders(form)
                if got != wanted:
                    problems.append(f"{where}: translation has {got}, source has {wanted}")
    return count, problems


def main():
    lupdate, sources, ts_files = sys.argv[1], sys.argv[2], sys.argv[3:]
    failures = []
    with tempfile.TemporaryDirectory(prefix="cdk-ts-") as work:
        for ts in ts_files:
            copy = os.path.join(work, os.path.basename(ts))
            shutil.copyfile(ts, copy)
            subprocess.run([lupdate, "-silent", "-no-obsolete", "-locations", "none",
                            "-extensions", "cpp,h", sources, "-ts", copy],
                           check=True, timeout=300)
            count, problems = problems_in(copy)
            print(f"{os.path.basename(ts)}: {count} texts, {len(problems)} problems")
            failures += [f"{os.path.basename(ts)}: {p}" for p in problems]
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
