#!/usr/bin/env python3
"""Writes catalogue-values.json: a plausible value for every variable of the private MIB catalogue
(access/mib_catalogue_*.cpp), for a unit with two output ports, two trap and e-mail destinations,
six protocols, two file servers, two VINES names and ports, two EtherTalk ports, four WEP keys,
four wireless list entries and three countries. Objects the simulator derives itself (levels of
the common areas, port count and names, MIB-II, ifSpeed, Printer MIB) are left to it.

    python3 sim/data/make_catalogue_values.py > sim/data/catalogue-values.json
"""
import json
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[2]
E4 = "1.3.6.1.4.1.1240.2.3.4"
VAR = re.compile(r'var\((\d+), (\d+), ("[^"]*"|kE4PortEvents), (\w+)(?:, "((?:[^"\\]|\\.)*)")?\)([^,\n]*(?:\.\w+\([^)]*\))*)')

DERIVED = {".1.1.0", ".2.1.0", ".3.1.0", ".6.2.1.0", ".6.3.1.1.0", ".6.2.3.1.0", ".6.2.3.2.1.2"}
ROWS = {  # row / entry counts by OID text
    ".6.2.3.2.1": 2, ".6.3.1.4.10.1": 2, ".6.3.1.4.25.1": 2, ".6.3.2.4.9.1": 2, ".1.15.2.1": 6,
    ".6.3.3.4.4.1": 2, ".6.3.3.5.4.1": 2, ".6.3.5.4.4.1": 2, ".8.3.7.1": 4, ".8.3.29.1": 4, ".8.3.42.1": 3,
    ".6.3.2.4.10.1": 2, E4 + ".3.2.1": 2, E4 + ".9.5.1": 4,
}
COUNTS = {".1.15.1.0": 6, ".6.3.1.4.9.0": 2, ".6.3.1.4.24.0": 2, ".6.3.2.4.8.0": 2, ".6.3.3.4.2.0": 2,
          ".6.3.5.4.3.0": 2, ".8.3.28.0": 13, ".8.3.41.0": 3, E4 + ".9.1.0": 3, E4 + ".9.4.0": 7,
          ".5.1.0": 8, ".6.3.2.1.0": 8, ".6.3.3.1.0": 8, ".6.3.4.1.0": 8, ".6.3.5.1.0": 8, ".8.2.0": 8}
PROTOCOLS = [(1, "TCP/IP"), (2, "NetWare"), (3, "VINES"), (4, "LAN Manager"), (5, "EtherTalk"), (7, "Wireless")]
TEXTS = {
    ".1.3.0": "Trellan PS-200", ".1.4.0": "TR-200-01", ".1.5.0": "S200-{index}", ".1.8.0": "9812",
    ".1.9.0": "V5.41", ".1.11.0": "support@trellan.example", ".1.12.0": "+1 555 0100",
    ".1.13.0": "www.trellan.example", ".1.14.0": "Trellan Support", ".3.3.0": "vorlak", ".3.5.0": "trap",
    ".6.3.1.5.1.0": "TCP/IP ready", ".6.3.1.4.39.0": "lab.example", ".6.3.1.4.45.0": "DEFAULT",
    ".6.3.2.4.4.0": "PS_{index}", ".6.3.2.4.7.0": "FS1", ".6.3.2.5.1.0": "NetWare ready",
    ".6.3.2.4.14.0": "TRELLAN_TREE", ".6.3.2.4.15.0": "FS1", ".6.3.3.4.1.0": "PS{index}@Lab@Trellan",
    ".6.3.3.5.1.0": "VINES ready", ".6.3.5.5.1.0": "EtherTalk ready", ".8.3.4.0": "trellan-lab",
    ".8.3.10.0": "lab", ".8.3.43.0": "US ", ".8.3.32.0": "printer", ".8.3.39.0": "lab",
    ".8.3.33.0": "root", ".8.3.36.0": "secret-psk", ".8.3.30.0": "printer", ".8.3.31.0": "pass",
}
HEX = {".1.6.0": "025452000001", ".5.3.5.0": "400000000001", ".6.3.2.4.12.1.2.1": "0000000A",
       ".6.3.2.4.12.1.3.1": "00408C112233", ".6.3.5.4.1.0": "0001", ".6.3.5.4.2.0": "FF02",
       ".8.3.45.0": "FF07", ".8.3.7.1.2": "2A",
       ".6.3.2.4.13.0": "50005300320030003000",  # "PS200" in 16-bit characters
       ".6.2.3.2.1.9": "1B45", ".6.2.3.2.1.10": "1B2531"}
IPS = {".6.3.1.4.3.0": "255.0.0.0", ".6.3.1.4.2.0": "127.0.0.254",
       ".6.3.1.4.12.0": "127.0.0.53", ".6.3.1.4.42.0": "127.0.0.53", ".6.3.1.4.43.0": "127.0.0.54",
       ".6.3.1.4.23.0": "127.0.0.25", ".6.3.1.4.10.1.2": "127.0.9.{n}"}
INTS = {".6.3.1.4.4.0": 1, ".6.3.1.4.8.0": 2, ".6.3.1.4.5.0": 7, ".6.3.1.4.6.0": 1, ".8.3.2.0": 6,
        ".8.3.3.0": 3, ".8.3.1.0": 3, ".8.3.5.0": 0, ".6.3.1.4.15.0": 300, ".6.3.1.4.16.0": 5,
        ".6.2.3.2.1.12": 32766, ".8.3.27.0": 31, ".8.3.20.0": 3, ".8.3.22.0": 15, ".8.3.29.1.2": 3}


def instances(oid, suffix):
    if suffix == "first":
        return [(oid + ".1", 1)]
    if suffix != "row":
        return [(oid, 0)]
    base = oid.rsplit(".", 1)[0]
    n = ROWS.get(base, 2)
    return [(f"{oid}.{k}", k) for k in range(1, n + 1)]


def value(oid_text, full, syntax, meaning, n, enum):
    if oid_text in COUNTS:
        return "int", COUNTS[oid_text]
    if syntax == "Integer":
        if oid_text == ".1.15.2.1.2":
            return "int", PROTOCOLS[n - 1][0]
        if oid_text in INTS:
            return "int", INTS[oid_text]
        if "level" in meaning.lower():
            return "int", 8
        return "int", 2 if enum in ("kEnabledTwo", "kFrameType", "kFrameTypeSetting", "kNetWareMode", "kStrictness") else 1
    if syntax == "IpAddress":
        return "ip", IPS.get(oid_text, "127.0.0.1").replace("{n}", str(n))
    if syntax == "Bytes":
        return "hex", HEX.get(oid_text, "00408C")
    if oid_text == ".1.15.2.1.3":
        return "text", PROTOCOLS[n - 1][1]
    if oid_text in TEXTS:
        return "text", TEXTS[oid_text]
    if oid_text == ".6.3.1.4.25.1.2":
        return "text", f"printer-alerts-{n}@lab.example"
    if oid_text.startswith(".8.3.42.1.2"):
        return "text", ["US ", "USI", "JPO"][n - 1]
    word = meaning.split(" (")[0] if meaning else "value"
    return "text", (word + (f" {n}" if n else ""))[:32]


def main():
    out, seen = [], set()
    for path in sorted((ROOT / "access").glob("mib_catalogue_*.cpp")):
        src = path.read_text()
        for m in VAR.finditer(src):
            _, _, oid, syntax, meaning, tail = m.groups()
            oid = E4 + ".3.2.1.12" if oid == "kE4PortEvents" else oid.strip('"')
            if not oid or oid in DERIVED or oid.startswith("1.3.6.1.2.1"):
                continue
            suffix = "row" if ".row()" in tail else "first" if ".first()" in tail else ""
            enum = (re.search(r"\.en\((\w+)\)", tail) or [None, None])[1]
            columns = None
            if oid in (".6.3.1.4.10.1", ".6.3.1.4.25.1"):
                columns = [(c, e) for c in (4, 6) for e in (1, 2)]
            elif oid == ".6.3.2.4.12.1":
                columns = [(7, 1)]
            elif oid == E4 + ".3.2.1":
                columns = [(c, p) for c in range(13, 29) for p in (1, 2)]
            names = [(f"{oid}.{c}.{e}", e) for c, e in columns] if columns else instances(oid, suffix)
            for full, n in names:
                if full in seen:
                    continue
                seen.add(full)
                kind, v = value(oid, full, syntax, meaning or "", n, enum)
                if columns and oid != E4 + ".3.2.1":
                    kind, v = "int", 1
                if columns and oid == E4 + ".3.2.1":
                    kind, v = "text", f"Port {n} event {int(full.split('.')[-2]) - 12}"
                entry = {"oid": full, "type": kind, "value": v}
                if ".rw()" not in tail:
                    entry["writable"] = False
                out.append(entry)
    for ids in re.findall(r"\{(\d), (\d+), \"([^\"]+)\"\}", (ROOT / "access/mib_catalogue_server.cpp").read_text()):
        pid, _, oid = ids
        if oid.endswith(".2.0") and oid not in seen:
            seen.add(oid)
            out.append({"oid": oid, "type": "int", "value": 2})
    print(json.dumps({"variables": out}, indent=1))


main()
