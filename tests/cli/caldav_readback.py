#!/usr/bin/python3
"""Reads every calendar collection under a CalDAV home back from the server,
independently of qel2caldb: PROPFIND lists the collections, a calendar-query
REPORT per collection fetches every VEVENT and VTODO resource, and
python3-icalendar parses them. Prints per collection the number of resources,
each component's fields and what python3-vobject's validation refuses, as
JSON. With --files it reads .ics files the same way, one collection per
calendar they name (X-QEL2-CALID).

usage: caldav_readback.py HOME_URL USER PASSWORD
       caldav_readback.py --files FILE..."""
import base64
import datetime
import json
import pathlib
import sys
import urllib.parse
import urllib.request
import xml.etree.ElementTree as ET

import vobject
from icalendar import Calendar

DAV = "{DAV:}"
CALDAV = "{urn:ietf:params:xml:ns:caldav}"

def request(method, url, body, depth):
    req = urllib.request.Request(url, data=body.encode(), method=method)
    req.add_header("Authorization", auth)
    req.add_header("Depth", depth)
    req.add_header("Content-Type", "application/xml; charset=utf-8")
    with urllib.request.urlopen(req) as answer:
        return ET.fromstring(answer.read())


def time_text(prop):
    value = prop.dt
    if isinstance(value, datetime.datetime):
        return value.astimezone(datetime.timezone.utc).strftime("%Y%m%dT%H%M%SZ")
    return value.strftime("%Y%m%d")


def values(component, name):
    properties = component.get(name, [])
    if not isinstance(properties, list):
        properties = [properties]
    found = []
    for value in properties:
        if hasattr(value, "cats"):  # CATEGORIES holds a list
            found.extend(str(c) for c in value.cats)
        else:
            found.append(str(value))
    return sorted(found)


def fields(component):
    end = component.get("DTEND", component.get("DUE"))
    return {
        "kind": component.name,
        "uid": str(component.get("UID", "")),
        "recurrence_id": time_text(component["RECURRENCE-ID"]) if "RECURRENCE-ID" in component else "",
        "start": time_text(component["DTSTART"]) if "DTSTART" in component else "",
        "end": time_text(end) if end is not None else "",
        "summary": str(component.get("SUMMARY", "")),
        "description": str(component.get("DESCRIPTION", "")),
        "location": str(component.get("LOCATION", "")),
        "status": str(component.get("STATUS", "")),
        "attendees": values(component, "ATTENDEE"),
        "categories": values(component, "CATEGORIES"),
        "alarms": sorted(str(alarm.get("ACTION", "")) for alarm in component.subcomponents if alarm.name == "VALARM"),
    }


def vobject_refusal(text):
    try:
        vobject.readOne(text if isinstance(text, str) else text.decode("utf-8"), validate=True)
        return None
    except Exception as error:  # any refusal is reported, whatever its kind
        return "%s: %s" % (type(error).__name__, error)


def add(collections, name, text, where):
    """Adds one resource to the collection `name`; None names it by its X-QEL2-CALID."""
    calendar = Calendar.from_ical(text)
    collection = collections.setdefault(name or str(calendar.get("X-QEL2-CALID")),
                                        {"resources": 0, "components": [], "invalid": []})
    collection["resources"] += 1
    collection["components"].extend(fields(c) for c in calendar.walk() if c.name in ("VEVENT", "VTODO"))
    refusal = vobject_refusal(text)
    if refusal:
        collection["invalid"].append(where + ": " + refusal)


collections = {}
if sys.argv[1] == "--files":
    for path in map(pathlib.Path, sys.argv[2:]):
        add(collections, None, path.read_bytes(), path.name)
    json.dump(collections, sys.stdout)
    sys.exit(0)

home, user, password = sys.argv[1:4]
auth = "Basic " + base64.b64encode(f"{user}:{password}".encode()).decode()
listing = request("PROPFIND", home, '<propfind xmlns="DAV:"><prop><resourcetype/></prop></propfind>', "1")
query = ('<C:calendar-query xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">'
         '<D:prop><C:calendar-data/></D:prop><C:filter><C:comp-filter name="VCALENDAR"/></C:filter>'
         '</C:calendar-query>')
for response in listing.iter(DAV + "response"):
    if response.find(f".//{DAV}resourcetype/{CALDAV}calendar") is None:
        continue
    href = response.find(DAV + "href").text
    name = urllib.parse.unquote(href.rstrip("/").rsplit("/", 1)[-1])
    found = request("REPORT", urllib.parse.urljoin(home, href), query, "1")
    collections.setdefault(name, {"resources": 0, "components": [], "invalid": []})  # empty ones too
    for data in found.iter(CALDAV + "calendar-data"):
        if data.text:
            add(collections, name, data.text, href)
json.dump(collections, sys.stdout)
