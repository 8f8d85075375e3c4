#!/usr/bin/python3
"""Writes the seed corpora of the decoder fuzzers into fuzz/corpus/<target>/:
the values of the genuine 4.2 store's manifest and the smallest value of
each kind. Run it again when the manifest changes."""

import hashlib
import json
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
MANIFEST = HERE.parent / "tests" / "data" / "legacy42-store.json"


def word(w):
    return struct.pack(">I", w & 0xFFFFFFFF)


def text(s):
    return (s or "").encode() + b"\0"


def string_list(items):
    if not items:
        return word(0) + b"\0"
    return word(len(items)) + b"".join(text(i) for i in items)


def alarm_block(a):
    words = [a[k] for k in ("lAlarmWord1", "lAlarmWord2", "iAction", "iRepeat", "lAlarmWord5")]
    return (b"".join(word(w) for w in words)
            + b"".join(text(a[k]) for k in ("pAlarmText1", "pAlarmText2", "pAlarmText3"))
            + b"".join(string_list(a[k]) for k in ("pAlarmList1", "pAlarmList2", "pAlarmList3")))


def minimal_values():
    empty = string_list([])
    head = b"\0" + word(0)                    # no organizer, no attendees
    middle = b"\0" * 11 + word(0) + b"\0"     # eleven strings, no alarms
    return {
        "decode_alarm_fuzzer": word(0) * 5 + b"\0" * 3 + empty * 3,
        "decode_calprops_fuzzer": word(0) * 3 + b"\0" * 9 + empty * 2 + word(0),
        "decode_event_fuzzer": word(0) * 9 + head + middle + empty * 11,
        "decode_todo_fuzzer": word(0) * 11 + head + middle + empty * 8,
    }


def main():
    manifest = json.loads(MANIFEST.read_text())
    seeds = {name: [value] for name, value in minimal_values().items()}
    for target, section in (("decode_event_fuzzer", "events"), ("decode_todo_fuzzer", "todos"),
                            ("decode_calprops_fuzzer", "calendars")):
        for record in manifest[section]:
            value = bytes.fromhex(record["value_hex"])
            seeds[target].append(value)
            # The alarm blocks embedded in the value, checked against it.
            for alarm in (record["fields"].get("pAlarms") or []):
                block = alarm_block(alarm)
                assert block in value, f"alarm block not found in {record.get('uid')}"
                seeds["decode_alarm_fuzzer"].append(block)
    for target, values in seeds.items():
        folder = HERE / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for value in values:
            (folder / hashlib.sha1(value).hexdigest()).write_bytes(value)
        print(f"{target}: {len(set(values))} seeds")


if __name__ == "__main__":
    main()
