#!/usr/bin/env python3
"""Checks the Windows program file as Windows would load it.

    pe_check.py --objdump OBJDUMP --windres WINDRES PROGRAM TYPE/ID=FILE...

The program must be a PE32+ (x86_64) GUI program; the DLLs it imports must be
DirectDraw, DevIL's two and Windows' own, none of the compiler's runtime;
and each TYPE/ID resource must hold the bytes of FILE exactly. Every failed
check is printed; the exit code is 1 if any failed.
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

# The DLLs the program cannot do without, and the ones Windows itself brings
# that the C and C++ runtime and the system may use. Anything else (the
# compiler's libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll, or a
# DLL nobody ships) would stop the program from starting on a user's machine.
REQUIRED_DLLS = {"ddraw.dll", "devil.dll", "ilu.dll", "kernel32.dll", "user32.dll"}
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll"}


def read_res(data):
    """The entries of a compiled resource file (.res) as {(type, id): bytes};
    a type or id given by name is a str, one given by number an int."""
    def name_or_ordinal(pos):
        if struct.unpack_from("<H", data, pos)[0] == 0xFFFF:
            return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
        end = pos
        while struct.unpack_from("<H", data, end)[0] != 0:
            end += 2
        return data[pos:end].decode("utf-16-le"), end + 2

    entries = {}
    pos = 0
    while pos + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, pos)
        rtype, after = name_or_ordinal(pos + 8)
        rid, _ = name_or_ordinal(after)
        body = data[pos + header_size:pos + header_size + data_size]
        if len(body) != data_size:
            raise ValueError(f"resource {rtype}/{rid} is cut short")
        # The first entry of every .res file is an empty marker.
        if not (data_size == 0 and rtype == 0 and rid == 0):
            entries[(rtype, rid)] = body
        pos += header_size + data_size
        pos += -pos % 4
    return entries


def check_headers(dump, failures):
    if not re.search(r"file format pei-x86-64", dump):
        failures.append("not a PE file for x86_64")
    magic = re.search(r"^Magic\s+([0-9a-fA-F]+)", dump, re.M)
    if not magic or magic.group(1).lower() != "020b":
        failures.append(f"optional header magic {magic.group(1) if magic else 'missing'}, "
                        "expected 020b (PE32+)")
    subsystem = re.search(r"^Subsystem\s+([0-9a-fA-F]+)", dump, re.M)
    if not subsystem or int(subsystem.group(1), 16) != 2:
        failures.append(f"subsystem {subsystem.group(1) if subsystem else 'missing'}, "
                        "expected 2 (Windows GUI)")


def check_imports(dump, failures):
    dlls = {name.lower(): name for name in re.findall(r"^\s*DLL Name:\s*(\S+)", dump, re.M)}
    for missing in sorted(REQUIRED_DLLS - dlls.keys()):
        failures.append(f"does not import {missing}")
    for extra in sorted(dlls.keys() - REQUIRED_DLLS - WINDOWS_DLLS):
        failures.append(f"imports {dlls[extra]}, which is neither Windows' nor DevIL's")
    return sorted(dlls.values())


def check_resources(windres, program, expected, failures):
    with tempfile.TemporaryDirectory() as tmp:
        res = os.path.join(tmp, "program.res")
        run = subprocess.run([windres, "-i", program, "-O", "res", "-o", res],
                             capture_output=True, text=True)
        if run.returncode != 0:
            failures.append(f"windres cannot read the resources: {run.stderr.strip()}")
            return
        with open(res, "rb") as f:
            entries = read_res(f.read())
    for (rtype, rid), path in expected:
        with open(path, "rb") as f:
            want = f.read()
        got = entries.get((rtype, rid))
        if got is None:
            failures.append(f"no resource {rtype}/{rid}; the program has "
                            f"{sorted(entries, key=str) or 'none'}")
        elif got != want:
            failures.append(f"resource {rtype}/{rid} holds {len(got)} bytes that are not "
                            f"the {len(want)} bytes of {os.path.basename(path)}")
        else:
            print(f"resource {rtype}/{rid}: the {len(got)} bytes of {os.path.basename(path)}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--windres", required=True)
    parser.add_argument("program")
    parser.add_argument("resources", nargs="*", metavar="TYPE/ID=FILE")
    args = parser.parse_args()

    expected = []
    for item in args.resources:
        key, path = item.split("=", 1)
        rtype, rid = key.split("/", 1)
        expected.append(((rtype, int(rid)), path))

    dump = subprocess.run([args.objdump, "-p", args.program],
                          capture_output=True, text=True, check=True).stdout
    failures = []
    check_headers(dump, failures)
    print("imports:", " ".join(check_imports(dump, failures)))
    check_resources(args.windres, args.program, expected, failures)

    for failure in failures:
        print(f"FAIL: {args.program}: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
