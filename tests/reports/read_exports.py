#!/usr/bin/env python3
"""Reads a Chronodeck export back the way other programs do and prints what
they find as JSON: a list of one object per task. Exits non-zero on anything
a strict reader would refuse."""

import csv
import io
import json
import re
import sys


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def read_csv(path):
    with open(path, encoding="utf-8", newline="") as f:
        raw = f.read()
    if raw.startswith("\ufeff"):
        fail("byte order mark before the header")
    if not raw.endswith("\r\n"):
        fail("the last record is not ended by CRLF")
    rows = list(csv.reader(io.StringIO(raw, newline=""), strict=True))
    header = rows[0]
    if header != ["Date", "Subject", "Category", "Priority", "State",
                  "Budget minutes", "Done seconds"]:
        fail("unexpected header: %r" % header)
    records = []
    for row in rows[1:]:
        if len(row) != len(header):
            fail("row with %d fields: %r" % (len(row), row))
        records.append(dict(zip(header, row)))
    return records


def split_text_list(value):
    """A list of TEXT values as RFC 5545 has it: split on unescaped commas."""
    items, current, chars = [], [], iter(value)
    for c in chars:
        if c == "\\":
            escaped = next(chars, "")
            current.append("\n" if escaped in ("n", "N") else escaped)
        elif c == ",":
            items.append("".join(current))
            current = []
        else:
            current.append(c)
    items.append("".join(current))
    return items


def categories_of_each_todo(data):
    """icalendar 4.0.3 unescapes a CATEGORIES value before it splits the list
    (its content-line parser too), so "Home\\, garden" would come back as two
    categories: the unfolded lines are split here as RFC 5545 has it."""
    found = []
    text = data.decode("utf-8").replace("\r\n ", "").replace("\r\n\t", "")
    for line in text.split("\r\n"):
        name = re.split("[:;]", line, maxsplit=1)[0].upper()
        if line == "BEGIN:VTODO":
            found.append([])
        elif name == "CATEGORIES":
            found[-1].extend(split_text_list(line.split(":", 1)[1]))
    return found


def read_ics(path):
    import icalendar

    with open(path, "rb") as f:
        data = f.read()
    for number, line in enumerate(data.split(b"\r\n")[:-1], 1):
        if len(line) > 75:
            fail("line %d is %d octets long" % (number, len(line)))
        if b"\n" in line or b"\r" in line:
            fail("line %d is not ended by CRLF" % number)
        line.decode("utf-8")
    if not data.endswith(b"\r\n"):
        fail("the last line is not ended by CRLF")
    calendar = icalendar.Calendar.from_ical(data)
    for component in calendar.walk():
        if component.errors:
            fail("%s: %r" % (component.name, component.errors))
    for required in ("VERSION", "PRODID"):
        if required not in calendar:
            fail("calendar without " + required)
    records = []
    categories = categories_of_each_todo(data)
    for index, todo in enumerate(calendar.walk("VTODO")):
        for required in ("UID", "DTSTAMP", "SUMMARY", "DUE", "STATUS"):
            if required not in todo:
                fail("VTODO without " + required)
        records.append({
            "uid": str(todo["UID"]),
            "summary": str(todo["SUMMARY"]),
            "due": todo.decoded("DUE").isoformat(),
            "status": str(todo["STATUS"]),
            "percent": int(todo["PERCENT-COMPLETE"]),
            "priority": int(todo["PRIORITY"]),
            "categories": categories[index],
            "state": str(todo.get("X-CHRONODECK-STATE", "")),
            "budget": int(str(todo["X-CHRONODECK-BUDGET-MINUTES"])),
            "done": int(str(todo["X-CHRONODECK-DONE-SECONDS"])),
        })
    return records


def main():
    kind, path = sys.argv[1], sys.argv[2]
    records = read_csv(path) if kind == "csv" else read_ics(path)
    json.dump(records, sys.stdout, ensure_ascii=False)


main()
