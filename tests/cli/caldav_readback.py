#!/usr/bin/python3
"""Reads every calendar collection under a CalDAV home back from the server,
independently of qel2caldb: PROPFIND lists the collections, a calendar-query
REPORT per collection fetches every VEVENT and VTODO resource, and
python3-icalendar parses them. Prints per collection the number of resources
and each component's fields, as JSON. With --folders it reads folders of
.ics files (export --layout vdir) the same way, one collection per folder.

usage: caldav_readback.py HOME_URL USER PASSWORD
       caldav_readback.py --folders DIR..."""
import base64
import datetime
import json
import pathlib
import sys
import urllib.parse
import urllib.request
import xml.etree.ElementTree as ET

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


def collection(texts):
    components = []
    for text in texts:
        calendar = Calendar.from_ical(text)
        components.extend(fields(c) for c in calendar.walk() if c.name in ("VEVENT", "VTODO"))
    return {"resources": len(texts), "components": components}


collections = {}
if sys.argv[1] == "--folders":
    for folder in map(pathlib.Path, sys.argv[2:]):
        collections[folder.name] = collection([path.read_bytes() for path in sorted(folder.glob("*.ics"))])
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
    texts = [data.text for data in found.iter(CALDAV + "calendar-data") if data.text]
    collections[name] = collection(texts)
json.dump(collections, sys.stdout)
