#!/usr/bin/env python3
"""Checks that a demo game folder holds the layouts the editor relies on.

Usage: check_demo_game.py TARGET_DIR [DEFAULTS_FILE]

DEFAULTS_FILE is the track defaults file; it defaults to defaultTrackini.dat
beside this script. Every problem found is printed, one per line; the exit
status is 0 when there is none and 1 otherwise.

What is checked:
  - every text file is single-byte Windows-1252, every line ends in CR LF
    (no lone LF, no lone CR, the last line included); replays (.rpy) are
    binary and only have to be non-empty;
  - each track.ini carries all twelve key prefixes at column 1, each value
    non-empty and followed by a blank;
  - each season file has 8 lines per event plus the 4 season lines, in the
    fixed order and texts, three TABs (and no blanks) before every comment,
    event numbers 1, 2, 3 ..., values inside the characters the reader looks
    at, numEvents equal to the number of events, and a trackDirectory that
    names an existing track folder;
  - every playrecs.ini has one AutoAIStrength= line per section, directly
    followed by a BestLap_ line; the players folder holds folders and .ks
    files only;
  - the defaults file is made of quoted fields, 13 to a record, with a record
    for every track folder except shared.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ENCODING = "cp1252"
BINARY_EXTENSIONS = (".rpy",)
TAB3 = "\t\t\t"

TRACK_PREFIXES = [
    "track_tire_heat = ", "track_tire_wear = ", "track_tire_wear_loss = ",
    "track_tire_wear_exp = ", "track_asphalt_grip = ", "track_concrete_grip = ",
    "ai_accel_modifier = ", "ai_decel_modifier = ", "ai_fuel_use = ",
    "ai_grip_modifier = ", "ai_drag_modifier = ", "ai_qual_modifier = ",
]

# (prefix, comment, widest value the reader takes whole; None = any width).
EVENT_LINES = [
    ("day = ", "; Day of the event [1-31]", 2),
    ("month = ", "; Month of the event [1-12]", 2),
    ("name = ", "; Name of the event", None),
    ("numberOfLaps = ", "; Number of laps for the race session", 3),
    ("trackDirectory = ", "; Directory for the track data", None),
    ("startingGrid = ", "; Starting grid: grid_2x2_InLinePoleOnLeft", 1),
]
SEASON_LINES = [
    ("name = ", "; Name of the season"),
    ("numEvents = ", "; Number of events in the season"),
    ("year = ", "; Year for the season"),
]

# The 25 track sections of a records file and their chart groups (0 road
# courses, 1 short tracks, 2 flat, 3 intermediate, 4 1.5 mile ovals, 5 plate).
SECTION_GROUPS = {
    "infineon": 0, "watkins_glen": 0,
    "bristol": 1, "bristol_night": 1, "martinsville": 1, "richmond_night": 1,
    "homestead": 2, "las_vegas": 2, "new_hampshire": 2, "phoenix": 2, "pocono": 2,
    "california": 3, "darlington": 3, "dover": 3, "indianapolis": 3, "michigan": 3,
    "north_carolina": 3,
    "atlanta": 4, "chicagoland": 4, "kansas": 4, "lowes_night": 4, "texas": 4,
    "daytona": 5, "daytona_night": 5, "talladega": 5,
}

BESTLAP_KEYS = [
    "BestLap_Arc_CUP_All_Laptime=", "BestLap_Arc_CUP_Qual_Laptime=",
    "BestLap_Arc_CUP_Race_Laptime=", "BestLap_Sim_CUP_All_Laptime=",
    "BestLap_Sim_CUP_Qual_Laptime=", "BestLap_Sim_CUP_Race_Laptime=",
]


class Checker:
    def __init__(self, root):
        self.root = root
        self.problems = []
        self.lines = {}

    def fail(self, path, message):
        rel = os.path.relpath(path, self.root) if path.startswith(self.root) else path
        self.problems.append(rel + ": " + message)

    def read_lines(self, path):
        """Returns the file's lines without their CR LF, or None after
        reporting why the file is not CR LF single-byte text. Each file is
        read and reported once."""
        if path not in self.lines:
            self.lines[path] = self.split_lines(path)
        return self.lines[path]

    def split_lines(self, path):
        with open(path, "rb") as f:
            data = f.read()
        try:
            text = data.decode(ENCODING)
        except UnicodeDecodeError as e:
            self.fail(path, "not Windows-1252 text (%s)" % e.reason)
            return None
        ok = True
        if not data:
            self.fail(path, "empty file")
            ok = False
        bare_lf = data.replace(b"\r\n", b"").count(b"\n")
        bare_cr = data.replace(b"\r\n", b"").count(b"\r")
        if bare_lf:
            self.fail(path, "%d line(s) end in a lone LF" % bare_lf)
            ok = False
        if bare_cr:
            self.fail(path, "%d lone CR character(s)" % bare_cr)
            ok = False
        if data and not data.endswith(b"\r\n"):
            self.fail(path, "last line does not end in CR LF")
            ok = False
        if not ok:
            return None
        return text[:-2].split("\r\n")

    # Every file ---------------------------------------------------------

    def check_all_files(self):
        count = 0
        for folder, _, names in os.walk(self.root):
            for name in names:
                path = os.path.join(folder, name)
                count += 1
                if name.endswith(BINARY_EXTENSIONS):
                    if os.path.getsize(path) == 0:
                        self.fail(path, "empty replay")
                else:
                    self.read_lines(path)
        if count == 0:
            self.fail(self.root, "no files at all")

    def require_dir(self, rel):
        path = os.path.join(self.root, *rel.split("/"))
        if not os.path.isdir(path):
            self.fail(path, "folder missing")
            return None
        return path

    # Tracks -------------------------------------------------------------

    def track_folders(self):
        tracks = self.require_dir("tracks")
        if tracks is None:
            return []
        if not os.path.isdir(os.path.join(tracks, "shared")):
            self.fail(tracks, "no shared folder")
        folders = []
        for name in sorted(os.listdir(tracks)):
            if not os.path.isdir(os.path.join(tracks, name)):
                self.fail(os.path.join(tracks, name), "a file directly in the tracks folder")
            elif name != "shared":
                folders.append(name)
        if not folders:
            self.fail(tracks, "no track folders")
        return folders

    def check_track_ini(self, folder):
        path = os.path.join(self.root, "tracks", folder, "track.ini")
        if not os.path.isfile(path):
            self.fail(path, "missing")
            return
        lines = self.read_lines(path)
        if lines is None:
            return
        for prefix in TRACK_PREFIXES:
            carrying = [line for line in lines if line.startswith(prefix)]
            if not carrying:
                self.fail(path, "no line begins with '%s'" % prefix)
                continue
            for line in carrying:
                rest = line[len(prefix):]
                blank = rest.find(" ")
                if blank < 0:
                    self.fail(path, "no blank after the value of '%s'" % line)
                elif blank == 0:
                    self.fail(path, "empty value in '%s'" % line)
                elif "\t" in rest[:blank]:
                    self.fail(path, "a TAB inside the value of '%s'" % line)

    # Seasons ------------------------------------------------------------

    def expect(self, path, number, line, prefix, comment, width=None):
        """Checks one "prefix + value + TAB×3 + comment" line and returns the
        value, or None."""
        where = "line %d" % number
        if not line.startswith(prefix):
            self.fail(path, "%s should begin with '%s': %r" % (where, prefix, line))
            return None
        if not line.endswith(TAB3 + comment):
            self.fail(path, "%s should end with three TABs and '%s': %r" % (where, comment, line))
            return None
        value = line[len(prefix):len(line) - len(TAB3 + comment)]
        if value.endswith((" ", "\t")) or value == "":
            self.fail(path, "%s: value %r is empty or ends in a blank or TAB" % (where, value))
            return None
        if width is not None and len(value) > width:
            self.fail(path, "%s: value %r is wider than %d characters" % (where, value, width))
        return value

    def check_season(self, path, tracks):
        lines = self.read_lines(path)
        if lines is None:
            return
        events = sum(1 for line in lines if line.startswith("[ Event"))
        if len(lines) != 8 * events + 4:
            self.fail(path, "%d lines for %d events; expected %d" % (len(lines), events, 8 * events + 4))
            return
        for e in range(events):
            first = 8 * e
            header = "[ Event%d ]" % (e + 1)
            if lines[first] != header:
                self.fail(path, "line %d should be '%s': %r" % (first + 1, header, lines[first]))
            values = {}
            for k, (prefix, comment, width) in enumerate(EVENT_LINES):
                values[prefix] = self.expect(path, first + k + 2, lines[first + k + 1], prefix, comment, width)
            if lines[first + 7] != "":
                self.fail(path, "line %d should be empty" % (first + 8))
            for prefix in ("day = ", "month = ", "numberOfLaps = "):
                value = values[prefix]
                if value is not None and not value.isdigit():
                    self.fail(path, "event %d: %s%r is not a plain number" % (e + 1, prefix, value))
            if values["startingGrid = "] not in (None, "1", "2"):
                self.fail(path, "event %d: startingGrid must be 1 or 2" % (e + 1))
            track = values["trackDirectory = "]
            if track is not None and track not in tracks:
                self.fail(path, "event %d: trackDirectory %r is not a track folder" % (e + 1, track))
        base = 8 * events
        if lines[base] != "[ Season ]":
            self.fail(path, "line %d should be '[ Season ]': %r" % (base + 1, lines[base]))
        season = {}
        for k, (prefix, comment) in enumerate(SEASON_LINES):
            season[prefix] = self.expect(path, base + k + 2, lines[base + k + 1], prefix, comment)
        if season["numEvents = "] not in (None, str(events)):
            self.fail(path, "numEvents is %s, but the file holds %d events" % (season["numEvents = "], events))
        name = os.path.basename(path)[:-4]
        if season["name = "] not in (None, name):
            self.fail(path, "season name %r differs from the file name %r" % (season["name = "], name))

    def check_seasons(self, tracks):
        cup = self.require_dir("series/cup")
        if cup is None:
            return
        seasons = [n for n in sorted(os.listdir(cup))
                   if n.endswith(".ini") and os.path.isfile(os.path.join(cup, n))]
        if len(seasons) < 2:
            self.fail(cup, "fewer than two season files")
        for name in seasons:
            self.check_season(os.path.join(cup, name), tracks)
        cars = self.require_dir("series/cup/cars")
        if cars is not None:
            names = os.listdir(cars)
            if not any(n.endswith(".lst") for n in names):
                self.fail(cars, "no roster (.lst)")
            car_files = [n for n in names if n.endswith(".car")]
            if not car_files:
                self.fail(cars, "no car files (.car)")
            for n in car_files:
                lines = self.read_lines(os.path.join(cars, n)) or []
                if not any(line.startswith("car_number=") for line in lines):
                    self.fail(os.path.join(cars, n), "no car_number= line")

    # Players ------------------------------------------------------------

    def check_playrecs(self, path):
        lines = self.read_lines(path)
        if lines is None:
            return
        per_section = []
        names = []
        group_strengths = {}
        for i, line in enumerate(lines):
            if line.startswith("["):
                if not line.endswith("]") or len(line) < 3:
                    self.fail(path, "line %d is not a section line: %r" % (i + 1, line))
                per_section.append(0)
                names.append(line[1:-1])
            elif line.startswith("AutoAIStrength="):
                if not per_section:
                    self.fail(path, "line %d: AutoAIStrength= before the first section" % (i + 1))
                    continue
                per_section[-1] += 1
                value = line[len("AutoAIStrength="):]
                try:
                    strength = float(value)
                except ValueError:
                    strength = None
                if strength is None or not 70 <= strength <= 110 or value != value.strip():
                    self.fail(path, "line %d: strength %r is not a number from 70 to 110" % (i + 1, value))
                elif names[-1] in SECTION_GROUPS:
                    group_strengths.setdefault(SECTION_GROUPS[names[-1]], []).append(strength)
                following = lines[i + 1] if i + 1 < len(lines) else ""
                if not following.startswith("BestLap_"):
                    self.fail(path, "line %d: AutoAIStrength= not followed by a BestLap_ line" % (i + 1))
            elif "AutoAIStrength=" in line:
                self.fail(path, "line %d: AutoAIStrength= inside a line" % (i + 1))
        sections = len(per_section)
        if sections == 0 or sections > 41:
            self.fail(path, "%d sections; 1 to 41 expected" % sections)
        # The chart has something to show on each of its six spokes, and
        # the groups do not all lie at one strength.
        for group in range(6):
            if group not in group_strengths:
                self.fail(path, "no track of chart group %d has a strength" % group)
        averages = {sum(v) / len(v) for v in group_strengths.values()}
        if len(group_strengths) == 6 and len(averages) < 2:
            self.fail(path, "every chart group has the same average strength")
        for k, count in enumerate(per_section):
            if count != 1:
                self.fail(path, "section %d has %d AutoAIStrength= lines" % (k + 1, count))
        for key in BESTLAP_KEYS:
            if sum(1 for line in lines if line.startswith(key)) != sections:
                self.fail(path, "not one '%s' line per section" % key)

    def check_players(self):
        players = self.require_dir("players")
        if players is None:
            return
        folders = 0
        ks = 0
        for name in sorted(os.listdir(players)):
            path = os.path.join(players, name)
            if name.endswith(".ks") and os.path.isfile(path):
                ks += 1
            elif os.path.isdir(path):
                folders += 1
                records = os.path.join(path, "playrecs.ini")
                if os.path.isfile(records):
                    self.check_playrecs(records)
                else:
                    self.fail(records, "missing")
            else:
                self.fail(path, "a file in the players folder would be listed as a player")
        if folders < 3:
            self.fail(players, "fewer than three players")
        if ks == 0:
            self.fail(players, "no .ks file")

    # Other folders ------------------------------------------------------

    def check_extension(self, rel, extension, at_least):
        path = self.require_dir(rel)
        if path is None:
            return
        found = [n for n in os.listdir(path) if n.endswith(extension)]
        if len(found) < at_least:
            self.fail(path, "fewer than %d %s files" % (at_least, extension or "other"))

    # Defaults file ------------------------------------------------------

    def check_defaults(self, path, tracks):
        if not os.path.isfile(path):
            self.fail(path, "defaults file missing")
            return
        lines = self.read_lines(path)
        if lines is None:
            return
        fields = []
        for number, line in enumerate(lines, 1):
            # Every field is quoted; fields are separated by commas.
            parts = line.split(",")
            for part in parts:
                if len(part) < 2 or not (part.startswith('"') and part.endswith('"')) \
                        or '"' in part[1:-1]:
                    self.fail(path, "line %d: %r is not a quoted field" % (number, part))
                    return
                fields.append(part[1:-1])
        if len(fields) % 13:
            self.fail(path, "%d fields, not whole records of 13" % len(fields))
            return
        records = {}
        for k in range(0, len(fields), 13):
            records[fields[k]] = fields[k + 1:k + 13]
        for track in tracks:
            if track not in records:
                self.fail(path, "no record for the track folder " + track)
        for name, values in records.items():
            for value in values:
                try:
                    float(value)
                except ValueError:
                    self.fail(path, "record %s: %r is not a number" % (name, value))

    def run(self, defaults):
        if not os.path.isdir(self.root):
            self.fail(self.root, "not a folder")
            return self.problems
        self.check_all_files()
        tracks = self.track_folders()
        for folder in tracks:
            self.check_track_ini(folder)
        self.check_seasons(set(tracks))
        self.check_players()
        self.check_extension("replay", ".rpy", 2)
        self.check_extension("exports_imports", "", 2)
        self.check_defaults(defaults, tracks)
        return self.problems


def main(argv):
    if len(argv) not in (2, 3):
        print("usage: check_demo_game.py TARGET_DIR [DEFAULTS_FILE]", file=sys.stderr)
        return 2
    root = os.path.abspath(argv[1])
    defaults = os.path.abspath(argv[2]) if len(argv) == 3 else os.path.join(HERE, "defaultTrackini.dat")
    problems = Checker(root).run(defaults)
    for problem in problems:
        print(problem)
    if problems:
        print("check_demo_game.py: %d problem(s) in %s" % (len(problems), root), file=sys.stderr)
        return 1
    print("demo game folder %s is well-formed" % root)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
