#!/usr/bin/env python3
"""Writes the small seed inputs under fuzz/corpus/ (run again after a layout change)."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def riff(chunks, form=b"WAVE"):
    body = form + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def chunk(ident, payload):
    return ident + struct.pack("<I", len(payload)) + payload


pcm = struct.pack("<HHIIHHH", 1, 1, 44100, 88200, 2, 16, 0)
samples = struct.pack("<4h", 0, 1000, -1000, 0)


def image(fmt, data):
    return riff([chunk(b"fmt ", fmt), chunk(b"data", data)]) + b"\0"


def short_string(s):
    return bytes([len(s)]) + s


def kit(entries):
    obj = b"TPF0" + short_string(b"TWaveCollectionComponent") + b"\0"
    obj += short_string(b"List") + b"\x0e"
    for name, blob in entries:
        obj += b"\x01"
        if name:
            obj += short_string(b"Name") + b"\x06" + short_string(name)
        obj += short_string(b"Wave.WAVE") + b"\x0a" + struct.pack("<I", len(blob)) + blob + b"\0"
    obj += b"\0\0\0"
    frame = b"\xff" + struct.pack("<H", 10) + b"VELMORXWAVECOLLECTION\0" + struct.pack("<H", 0x1030)
    return frame + struct.pack("<I", len(obj)) + obj


seeds = {
    "riff/pcm16": image(pcm, samples),
    "riff/odd-chunk": riff([chunk(b"LIST", b"abc"), chunk(b"fmt ", pcm), chunk(b"data", samples)]),
    "riff/two-data": riff([chunk(b"fmt ", pcm), chunk(b"data", samples), chunk(b"data", b"\1\2")]),
    "riff/no-data": riff([chunk(b"fmt ", pcm)]),
    "riff/not-wave": riff([chunk(b"fmt ", pcm)], form=b"AVI "),
    "kit/two-entries": kit([(b"", b""), (b"Kick      [ ]", image(pcm, samples))]),
    "kit/empty": kit([]),
}
for name, data in seeds.items():
    with open(os.path.join(here, "corpus", name), "wb") as f:
        f.write(data)
