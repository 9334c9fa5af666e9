#!/usr/bin/env python3
"""Assembles a setup file: the stub followed by one payload record per input.

Usage: make_setup.py STUB OUT SCRIPT LICENCE [NAME=FILE]...

Record 0 is the script, record 1 the licence, then the files under the names
given (a backslash separates subdirectories). The streams come from
"qxpack lzhuf encode" ($QXPACK, or build/host/bin/qxpack); the record around
them is written here, independently of the packer, so the end-to-end tests
also check that the stub reads the format as it is described rather than as
the packer happens to write it.

A record: "QX1\\0", RecordSize (from the tag to the last stream byte), the
MS-DOS date and time, the attributes, the name's length and the name, then
the LZHUF file (4-byte length, code stream). Integers are little-endian.
"""
import os
import struct
import subprocess
import sys
import tempfile

TAG = b"QX1\0"
ARCHIVE = 0x20
# 2024-03-15 10:20:30, as MS-DOS date and time.
FAT_DATE = (2024 - 1980) << 9 | 3 << 5 | 15
FAT_TIME = 10 << 11 | 20 << 5 | 30 // 2


def encode(qxpack, path):
    with tempfile.TemporaryDirectory() as scratch:
        out = os.path.join(scratch, "stream")
        subprocess.run([qxpack, "lzhuf", "encode", path, out], check=True)
        with open(out, "rb") as f:
            stream = f.read()
    size = os.path.getsize(path)
    if len(stream) < 4 or struct.unpack_from("<I", stream)[0] != size:
        sys.exit(f"make_setup: the encoding of {path} does not start with its length {size}")
    return stream


def record(name, stream):
    raw = name.encode("ascii")
    if len(raw) > 255:
        sys.exit(f"make_setup: name longer than 255 bytes: {name}")
    head_size = 4 + 4 + 2 + 2 + 1 + 1 + len(raw)
    return (TAG + struct.pack("<IHHBB", head_size + len(stream), FAT_DATE, FAT_TIME, ARCHIVE, len(raw))
            + raw + stream)


def main(argv):
    if len(argv) < 5:
        sys.exit(__doc__.strip().splitlines()[2])
    stub, out, script, licence = argv[1:5]
    entries = [("Uninstal.inf", script), ("License.txt", licence)]
    for item in argv[5:]:
        name, sep, path = item.partition("=")
        if not sep:
            sys.exit(f"make_setup: expected NAME=FILE, got {item}")
        entries.append((name, path))
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    qxpack = os.environ.get("QXPACK", os.path.join(root, "build", "host", "bin", "qxpack"))
    with open(stub, "rb") as f:
        data = bytearray(f.read())
    for name, path in entries:
        data += record(name, encode(qxpack, path))
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv)
