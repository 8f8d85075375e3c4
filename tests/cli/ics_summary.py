#!/usr/bin/python3
"""Reads .ics files with python3-icalendar, a parser independent of libical,
and prints per calendar (its X-QEL2-CALID) the VEVENT and VTODO components:
kind, UID, RECURRENCE-ID, DTSTART and the attendees' addresses, as JSON."""
import datetime
import json
import sys

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


calendars = {}
for path in sys.argv[1:]:
    with open(path, "rb") as file:
        calendar = Calendar.from_ical(file.read())
    calendars[str(calendar.get("X-QEL2-CALID"))] = [
        summary(component) for component in calendar.walk() if component.name in ("VEVENT", "VTODO")
    ]
json.dump(calendars, sys.stdout)
