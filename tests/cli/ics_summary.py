#!/usr/bin/python3
"""Reads .ics files with python3-icalendar, a parser independent of libical,
and prints per calendar (its X-QEL2-CALID) the VEVENT and VTODO components:
kind, UID, RECURRENCE-ID, DTSTART and the attendees' addresses, as JSON.
Each file is also read by python3-vobject with validation; what it refuses
is listed under "invalid"."""
import datetime
import json
import sys

import vobject
from icalendar import Calendar


def time_text(prop):
    value = prop.dt
    if isinstance(value, datetime.datetime):
        return value.astimezone(datetime.timezone.utc).strftime("%Y%m%dT%H%M%SZ")
    return value.strftime("%Y%m%d")


def summary(component):
    attendees = component.get("ATTENDEE", [])
    if not isinstance(attendees, list):
        attendees = [attendees]
    return {
        "kind": component.name,
        "uid": str(component.get("UID", "")),
        "recurrence_id": time_text(component["RECURRENCE-ID"]) if "RECURRENCE-ID" in component else "",
        "start": time_text(component["DTSTART"]) if "DTSTART" in component else "",
        "attendees": sorted(str(attendee) for attendee in attendees),
    }


def vobject_refusal(text):
    try:
        vobject.readOne(text.decode("utf-8"), validate=True)
        return None
    except Exception as error:  # any refusal is reported, whatever its kind
        return "%s: %s" % (type(error).__name__, error)


calendars = {}
invalid = []
for path in sys.argv[1:]:
    with open(path, "rb") as file:
        text = file.read()
    calendar = Calendar.from_ical(text)
    items = calendars.setdefault(str(calendar.get("X-QEL2-CALID")), [])
    items.extend(summary(component) for component in calendar.walk() if component.name in ("VEVENT", "VTODO"))
    refusal = vobject_refusal(text)
    if refusal:
        invalid.append(path + ": " + refusal)
json.dump({"calendars": calendars, "invalid": invalid}, sys.stdout)
