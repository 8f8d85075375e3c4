#!/usr/bin/python3
"""Uploads a vdir export into a CalDAV server the way a migration would:
for each calendar folder of DIR a calendar collection (MKCALENDAR) under
HOME_URL, then a PUT of every .ics file in it. Prints, as JSON, the number
of resources sent and every refusal (file, HTTP status, the server's answer).

Usage: caldav_put.py HOME_URL DIR USER PASSWORD"""
import base64
import http.client
import json
import os
import sys
import urllib.parse

url, folder, user, password = urllib.parse.urlsplit(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
connection = http.client.HTTPConnection(url.hostname, url.port, timeout=30)
auth = {"Authorization": "Basic " + base64.b64encode(f"{user}:{password}".encode()).decode()}


def send(method, path, body=None, headers=None):
    connection.request(method, path, body=body, headers={**auth, **(headers or {})})
    answer = connection.getresponse()
    return answer.status, answer.read().decode("utf-8", "replace")


sent, refused = 0, []
send("MKCOL", url.path)  # the user's home, when the server has not made it yet
for calendar in sorted(os.listdir(folder)):
    directory = os.path.join(folder, calendar)
    if not os.path.isdir(directory):
        continue
    collection = url.path + urllib.parse.quote(calendar, safe="") + "/"
    status, text = send("MKCALENDAR", collection)
    if status not in (201, 405):
        refused.append({"file": calendar, "status": status, "answer": text})
        continue
    for name in sorted(os.listdir(directory)):
        with open(os.path.join(directory, name), "rb") as file:
            body = file.read()
        status, text = send("PUT", collection + urllib.parse.quote(name, safe=""), body,
                            {"Content-Type": "text/calendar; charset=utf-8"})
        sent += 1
        if status not in (201, 204):
            refused.append({"file": os.path.join(calendar, name), "status": status, "answer": text[:300]})
json.dump({"sent": sent, "refused": refused}, sys.stdout)
