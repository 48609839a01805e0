"""Station-days of a batch: one observation file per station and day, found in folder
trees, named on the command line or listed in a file.

A day is (folder, station, year, day of year). Of the files of one day (its session or
hourly files, copies in other compressions) the day is named by one: plain RINEX before
compressed before Compact RINEX, then by name; the day call finds its sessions beside it
as `velarix` does.
"""

import os
from collections import namedtuple

from . import _velarix

StationDay = namedtuple("StationDay", "path station year day_of_year")


def _day_of(path):
    """The StationDay an observation file names, and its category; None for any other
    file."""
    info = _velarix.classify(path)
    if not info["observation"] or info["year"] < 0:
        return None
    day = StationDay(path, info["station"].lower(), info["year"], info["day_of_year"])
    return day, info["category"]


def _walk(folder):
    """The observation files under `folder`, folders and names sorted, hidden ones
    (a leading '.') left out."""
    for top, dirs, files in os.walk(folder):
        dirs[:] = sorted(d for d in dirs if not d.startswith("."))
        for name in sorted(files):
            if not name.startswith("."):
                yield os.path.join(top, name)


def read_day_list(list_path):
    """The paths of a list file: one observation file or folder a line; blank lines and
    lines starting with '#' are skipped; relative paths are taken from the list's
    folder."""
    base = os.path.dirname(os.path.abspath(list_path))
    paths = []
    with open(list_path, encoding="utf-8") as lines:
        for line in lines:
            line = line.strip()
            if line and not line.startswith("#"):
                paths.append(os.path.join(base, line))
    return paths


def find_days(inputs):
    """The station-days of `inputs` (folders and observation files), in input order,
    each day once. Returns (days, refused): refused lists the inputs that are neither
    a folder nor an observation file with a dated name, with the reason."""
    chosen = {}  # (folder, station, year, doy) -> (category, StationDay)
    order = []
    refused = []
    for item in inputs:
        item = os.path.abspath(item)
        if os.path.isdir(item):
            candidates = list(_walk(item))
        elif os.path.isfile(item):
            candidates = [item]
        else:
            refused.append((item, "no such file or folder"))
            continue
        found = False
        for path in candidates:
            named = _day_of(path)
            if named is None:
                continue
            day, category = named
            found = True
            key = (os.path.dirname(path), day.station, day.year, day.day_of_year)
            if key not in chosen:
                order.append(key)
                chosen[key] = (category, day)
            elif (category, path) < (chosen[key][0], chosen[key][1].path):
                chosen[key] = (category, day)
        if not found:
            refused.append((item, "no observation file with a dated RINEX name"))
    return [chosen[key][1] for key in order], refused
