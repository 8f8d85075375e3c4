#!/usr/bin/python3
"""Reads every calendar collection under a CalDAV home back from the server,
independently of qel2caldb: PROPFIND lists the collections, a calendar-query
REPORT per collection fetches every VEVENT and VTODO resource, and
python3-icalendar parses them. Prints per collection the number of resources
and each component's fields, as JSON.

usage: caldav_readback.py HOME_URL USER PASSWORD"""
import base64
import datetime
import json
import sys
import urllib.parse
import urllib.request
import xml.etree.ElementTree as ET

from icalendar import Calendar

DAV = "{DAV:}"
CALDAV = "{urn:ietf:params:xml:ns:caldav}"

home, user, password = sys.argv[1:4]
auth = "Basic " + base64.b64encode(f"{user}:{password}".encode()).decode()


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


def texts(component, name):
    values = component.get(name, [])
    if not isinstance(values, list):
        values = [values]
    found = []
    for value in values:
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
        "attendees": texts(component, "ATTENDEE"),
        "categories": texts(component, "CATEGORIES"),
        "alarms": sorted(str(alarm.get("ACTION", "")) for alarm in component.subcomponents if alarm.name == "VALARM"),
    }


listing = request("PROPFIND", home, '<propfind xmlns="DAV:"><prop><resourcetype/></prop></propfind>', "1")
query = ('<C:calendar-query xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">'
         '<D:prop><C:calendar-data/></D:prop><C:filter><C:comp-filter name="VCALENDAR"/></C:filter>'
         '</C:calendar-query>')
collections = {}
for response in listing.iter(DAV + "response"):
    if response.find(f".//{DAV}resourcetype/{CALDAV}calendar") is None:
        continue
    href = response.find(DAV + "href").text
    name = urllib.parse.unquote(href.rstrip("/").rsplit("/", 1)[-1])
    found = request("REPORT", urllib.parse.urljoin(home, href), query, "1")
    components, resources = [], 0
    for item in found.iter(DAV + "response"):
        data = item.find(f".//{CALDAV}calendar-data")
        if data is None or not data.text:
            continue
        resources += 1
        calendar = Calendar.from_ical(data.text)
        components.extend(fields(c) for c in calendar.walk() if c.name in ("VEVENT", "VTODO"))
    collections[name] = {"resources": resources, "components": components}
json.dump(collections, sys.stdout)
