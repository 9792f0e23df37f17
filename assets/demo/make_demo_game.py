#!/usr/bin/env python3
"""Writes a small, made-up Gridmark game folder for trying the editor out.

Usage: make_demo_game.py TARGET_DIR

The folder gets everything the editor's tools read and write:

  players/                three players, each with playrecs.ini (all 25 track
                          sections, so every chart group has strengths), player.ini
                          and a setups folder; one key settings file Ann.ks
  series/cup/             three season schedule files
  series/cup/cars/        car files with car_number= lines, one roster .lst
  tracks/                 twelve track folders with a track.ini each, and the
                          shared folder
  replay/                 two small replays (.rpy, binary)
  exports_imports/        two exported files

Every text file is single-byte (Windows-1252) with CR LF line ends. The track
folder names are the record names of defaultTrackini.dat beside this script,
and the values written into each track.ini start from that file's record.

Running it again writes the same bytes again; files that already hold the
right content are not touched. Nothing is ever deleted. A non-empty folder
that this script did not write is refused, so a real game folder is never
overwritten by mistake.
"""

import os
import struct
import sys

MARKER = ".gridmark-demo"
ENCODING = "cp1252"
CRLF = "\r\n"
TAB3 = "\t\t\t"

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULTS_FILE = os.path.join(HERE, "defaultTrackini.dat")

# The twelve keyed lines of track.ini, in their fixed order, with the comment
# the demo writes after each value.
TRACK_KEYS = [
    ("track_tire_heat = ", "Tire heat build-up"),
    ("track_tire_wear = ", "Tire wear rate"),
    ("track_tire_wear_loss = ", "Grip lost by worn tires"),
    ("track_tire_wear_exp = ", "Wear curve exponent"),
    ("track_asphalt_grip = ", "Grip of the asphalt sections"),
    ("track_concrete_grip = ", "Grip of the concrete sections"),
    ("ai_accel_modifier = ", "AI acceleration"),
    ("ai_decel_modifier = ", "AI braking"),
    ("ai_fuel_use = ", "AI fuel use per lap"),
    ("ai_grip_modifier = ", "AI grip"),
    ("ai_drag_modifier = ", "AI aerodynamic drag"),
    ("ai_qual_modifier = ", "AI qualifying pace"),
]

# Track folder -> (name in the menus, length in miles, kind, lap seconds).
TRACKS = {
    "atlanta": ("Peach Valley Oval", "1.540", "intermediate", 30.6),
    "bristol": ("Thunder Bowl", "0.533", "short", 15.4),
    "daytona": ("Seaside Superspeedway", "2.500", "superspeedway", 48.2),
    "dover": ("Monument Mile", "1.000", "intermediate", 23.1),
    "infineon": ("Wine Country Road Course", "2.520", "road", 78.9),
    "las_vegas": ("Desert Lights Speedway", "1.500", "intermediate", 29.8),
    "martinsville": ("Paperclip Short Track", "0.526", "short", 19.9),
    "michigan": ("Lakeside Two Mile", "2.000", "intermediate", 38.7),
    "phoenix": ("Sun Valley Mile", "1.000", "flat", 26.8),
    "talladega": ("Big Hill Superspeedway", "2.660", "superspeedway", 50.3),
    "texas": ("Lone Star Quad Oval", "1.500", "intermediate", 28.9),
    "watkins_glen": ("Finger Lakes Circuit", "2.450", "road", 71.4),
}

# A few tracks carry set-ups that differ from their defaults, so that
# "Restore Default" visibly changes something: folder -> {key index: value}.
TRACK_CHANGES = {
    "bristol": {11: "1.05"},
    "daytona": {1: "0.92", 8: "1.00"},
    "michigan": {6: "1.0500"},
    "watkins_glen": {4: "1.000", 9: "1.000"},
}

# Season name -> (year, events); an event is (day, month, name, laps, track,
# starting grid). The file name is the season name + ".ini".
SEASONS = {
    "Demo Cup 2024": ("2024", [
        ("18", "2", "Seaside 500", "200", "daytona", "1"),
        ("25", "2", "Peach Valley 400", "260", "atlanta", "1"),
        ("3", "3", "Desert Lights 400", "267", "las_vegas", "2"),
        ("10", "3", "Sun Valley 312", "312", "phoenix", "1"),
        ("17", "3", "Thunder Bowl 500", "500", "bristol", "2"),
        ("7", "4", "Paperclip 500", "500", "martinsville", "1"),
        ("21", "4", "Big Hill 500", "188", "talladega", "1"),
        ("28", "4", "Lone Star 500", "334", "texas", "2"),
        ("9", "6", "Lakeside 400", "200", "michigan", "1"),
        ("23", "6", "Wine Country 350", "110", "infineon", "2"),
        ("11", "8", "Finger Lakes 355", "90", "watkins_glen", "1"),
        ("22", "9", "Monument 400", "400", "dover", "1"),
    ]),
    "Short Track Series": ("2024", [
        ("6", "4", "Thunder Bowl Sprint", "250", "bristol", "1"),
        ("20", "4", "Paperclip Sprint", "300", "martinsville", "2"),
        ("4", "5", "Monument Sprint", "200", "dover", "1"),
        ("18", "5", "Sun Valley Sprint", "150", "phoenix", "2"),
    ]),
    "Night Series": ("2025", [
        ("15", "3", "Desert Lights Night Race", "200", "las_vegas", "2"),
        ("12", "7", "Caf\u00e9 Racer 300", "300", "atlanta", "1"),
        ("9", "8", "Midnight at the Bowl", "500", "bristol", "2"),
    ]),
}

# The 25 track sections of a player's records file, in the order the game
# writes them.
RECORD_SECTIONS = [
    "atlanta", "bristol", "bristol_night", "california", "chicagoland",
    "darlington", "daytona", "daytona_night", "dover", "homestead",
    "indianapolis", "infineon", "kansas", "las_vegas", "lowes_night",
    "martinsville", "michigan", "new_hampshire", "north_carolina", "phoenix",
    "pocono", "richmond_night", "talladega", "texas", "watkins_glen",
]

# Lap times (seconds) of the sections that have no track folder in the demo.
EXTRA_LAP_SECONDS = {
    "bristol_night": 15.5, "california": 40.1, "chicagoland": 30.2,
    "darlington": 29.4, "daytona_night": 48.4, "homestead": 33.0,
    "indianapolis": 50.2, "kansas": 30.1, "lowes_night": 29.6,
    "new_hampshire": 29.5, "north_carolina": 23.8, "pocono": 53.9,
    "richmond_night": 21.6,
}

# The track group of each section, as the auto AI editor's chart groups them:
# 0 road courses, 1 short tracks, 2 flat tracks, 3 intermediate tracks,
# 4 the 1.5 mile ovals, 5 the restrictor-plate tracks.
SECTION_GROUPS = {
    "infineon": 0, "watkins_glen": 0,
    "bristol": 1, "bristol_night": 1, "martinsville": 1, "richmond_night": 1,
    "homestead": 2, "las_vegas": 2, "new_hampshire": 2, "phoenix": 2, "pocono": 2,
    "california": 3, "darlington": 3, "dover": 3, "indianapolis": 3, "michigan": 3,
    "north_carolina": 3,
    "atlanta": 4, "chicagoland": 4, "kansas": 4, "lowes_night": 4, "texas": 4,
    "daytona": 5, "daytona_night": 5, "talladega": 5,
}

# Player -> (base strength, strength step, pace factor, extra section,
# strength offset of each track group). The offsets give every player a
# chart of their own shape; the extra section belongs to no group.
PLAYERS = {
    "Ann": (96.0, 0.0, 1.000, None, (-4.0, 3.0, 0.0, 1.5, -1.5, 5.0)),
    "Bob": (84.0, 1.5, 1.021, None, (6.0, -3.0, 2.0, 0.0, 4.0, -5.0)),
    "Carla": (101.0, -1.25, 0.993, "test_oval", (-6.0, 2.0, 4.0, -2.0, 0.0, 3.0)),
}


class DemoError(Exception):
    pass


def read_quoted_fields(text):
    """Splits the defaults file into its fields: leading blanks are skipped,
    a field that begins with a double quote runs to the next double quote,
    any other field to the next comma or line end; the separator after a
    field is consumed with it."""
    fields = []
    i, n = 0, len(text)
    while i < n:
        while i < n and text[i] == " ":
            i += 1
        if i < n and text[i] == '"':
            end = text.find('"', i + 1)
            if end < 0:
                raise DemoError("unterminated quoted field in defaults file")
            fields.append(text[i + 1:end])
            i = end + 1
            while i < n and text[i] == " ":
                i += 1
        else:
            start = i
            while i < n and text[i] not in ",\r\n":
                i += 1
            fields.append(text[start:i])
        if i < n and text[i] == ",":
            i += 1
        elif text.startswith(CRLF, i):
            i += 2
        elif i < n and text[i] in "\r\n":
            i += 1
    return fields


def read_defaults(path=DEFAULTS_FILE):
    """Returns {track folder: [twelve default values]} in file order."""
    with open(path, "rb") as f:
        text = f.read().decode(ENCODING)
    fields = read_quoted_fields(text)
    if len(fields) % 13:
        raise DemoError("defaults file does not hold whole records of 13 fields")
    records = {}
    for k in range(0, len(fields), 13):
        records[fields[k]] = fields[k + 1:k + 13]
    return records


def lines_to_bytes(lines):
    return "".join(line + CRLF for line in lines).encode(ENCODING)


def pad_comment(text, column, comment):
    """Text, then blanks up to the comment column (at least one), then the
    comment."""
    return text + " " * max(1, column - len(text)) + "; " + comment


def track_ini(folder, values):
    name, length, kind, _ = TRACKS[folder]
    lines = [
        "; " + name + " - track set-up",
        "; Values after the equals signs; everything after the first blank is ignored.",
        "",
        "[ Track ]",
        pad_comment("track_display_name = " + name.replace(" ", "_"), 44, "Name in the menus"),
        pad_comment("track_length = " + length, 44, "Lap length in miles"),
        pad_comment("track_kind = " + kind, 44, "Used for the loading screen"),
        pad_comment("track_pit_speed = 45", 44, "Pit road speed limit, mph"),
        "",
        "[ Tires and grip ]",
    ]
    for index, (prefix, comment) in enumerate(TRACK_KEYS):
        if index == 6:
            lines += [
                "; track_tire_heat = 1.50   (old value, kept for reference)",
                "",
                "[ Computer drivers ]",
            ]
        # Comments line up at column 36; the last key has just one blank.
        column = 36 if index != 11 else 0
        lines.append(pad_comment(prefix + values[index], column, comment))
    lines += [
        pad_comment("ai_pit_strategy = 2", 36, "Not changed by the editor"),
        "",
        "; end of file",
    ]
    return lines_to_bytes(lines)


def season_ini(season, year, events):
    lines = []
    for number, (day, month, name, laps, track, grid) in enumerate(events, 1):
        lines += [
            "[ Event" + str(number) + " ]",
            "day = " + day + TAB3 + "; Day of the event [1-31]",
            "month = " + month + TAB3 + "; Month of the event [1-12]",
            "name = " + name + TAB3 + "; Name of the event",
            "numberOfLaps = " + laps + TAB3 + "; Number of laps for the race session",
            "trackDirectory = " + track + TAB3 + "; Directory for the track data",
            "startingGrid = " + grid + TAB3 + "; Starting grid: grid_2x2_InLinePoleOnLeft",
            "",
        ]
    lines += [
        "[ Season ]",
        "name = " + season + TAB3 + "; Name of the season",
        "numEvents = " + str(len(events)) + TAB3 + "; Number of events in the season",
        "year = " + year + TAB3 + "; Year for the season",
    ]
    return lines_to_bytes(lines)


def lap_seconds(section):
    if section in TRACKS:
        return TRACKS[section][3]
    return EXTRA_LAP_SECONDS.get(section, 30.0)


def format_strength(value):
    value = max(70.0, min(110.0, value))
    return ("%.1f" % value).rstrip("0").rstrip(".")


def playrecs_ini(player):
    base, step, pace, extra, offsets = PLAYERS[player]
    sections = RECORD_SECTIONS + ([extra] if extra else [])
    lines = []
    for k, section in enumerate(sections):
        driven = (k + len(player)) % 4 != 0
        seconds = lap_seconds(section) * pace
        # Strengths wander around the player's base, 70 to 110.
        strength = base + step * (k % 7) - 2.5 * (k % 3)
        if section in SECTION_GROUPS:
            strength += offsets[SECTION_GROUPS[section]]
        times = []
        for mode, slower in (("Arc", 0.0), ("Sim", 0.012)):
            qual = seconds * (1.0 + slower)
            race = qual * (1.004 + 0.001 * (k % 5))
            if not driven:
                qual = race = 0.0
            times += [
                "BestLap_%s_CUP_All_Laptime=%.3f" % (mode, min(qual, race)),
                "BestLap_%s_CUP_Qual_Laptime=%.3f" % (mode, qual),
                "BestLap_%s_CUP_Race_Laptime=%.3f" % (mode, race),
            ]
        lines += [
            "[" + section + "]",
            "RacesRun=%d" % ((k * 3 + len(player)) % 9 if driven else 0),
            "Wins=%d" % ((k + len(player)) % 3 if driven else 0),
            "AutoAIStrength=" + format_strength(strength),
        ] + times + [
            "LastCar=car%02d" % (1 + (k % 5)),
        ]
    return lines_to_bytes(lines)


def player_ini(player):
    return lines_to_bytes([
        "[ Player ]",
        "name=" + player,
        "car=car01",
        "units=imperial",
        "difficulty=" + {"Ann": "veteran", "Bob": "rookie"}.get(player, "pro"),
        "season=Demo Cup 2024",
        "season_event=3",
    ])


def setup_file(player, track, race):
    name, _, kind, _ = TRACKS[track]
    short = kind in ("short", "flat")
    return lines_to_bytes([
        "; " + player + "'s " + ("race" if race else "qualifying") + " set-up for " + name,
        "[ Setup ]",
        "track=" + track,
        "fuel_gallons=" + ("22" if race else "6"),
        "front_spring=" + ("1450" if short else "1150"),
        "rear_spring=" + ("1300" if short else "1000"),
        "front_bias=%d" % (52 if race else 55),
        "tire_pressure_lf=%d" % (24 if short else 28),
        "tire_pressure_rf=%d" % (38 if short else 45),
        "gear_ratio=" + ("4.44" if short else "3.73"),
    ])


def key_settings(player):
    return lines_to_bytes([
        "; Keyboard and controller settings of " + player,
        "steer_left=KEY_LEFT",
        "steer_right=KEY_RIGHT",
        "throttle=KEY_UP",
        "brake=KEY_DOWN",
        "shift_up=KEY_A",
        "shift_down=KEY_Z",
        "look_back=KEY_B",
        "steering_sensitivity=65",
    ])


# Car file name -> (car number text, driver, team). The number text is what
# stands after "car_number=", blanks included.
CARS = {
    "car01.car": ("7", "Ann Demo", "Demo Racing"),
    "car02.car": (" 24", "Bob Sample", "Sample Motorsports"),
    "car03.car": ("99", "Carla Test", "Test Garage"),
    "car04.car": ("100", "Dan Placeholder", "Placeholder Racing"),
    "car05.car": ("112", "Eve Example", "Example Team"),
}


def car_file(name, number, driver, team):
    return lines_to_bytes([
        "; Gridmark car file " + name,
        "driver_name=" + driver,
        "team_name=" + team,
        "car_number=" + number,
        "make=Generic Coupe",
        "paint=" + name[:-4] + ".tga",
        "sponsor=None",
    ])


def roster_file():
    lines = ["; Demo roster: one car file per line"]
    lines += sorted(CARS)
    return lines_to_bytes(lines)


def replay_file(track, laps, seed):
    """A small binary replay: a header, then one frame per step of
    position, speed and flags."""
    out = bytearray(b"GMRPY\x00\x01\x00")
    name = track.encode(ENCODING)
    out += struct.pack("<B", len(name)) + name
    frames = laps * 32
    out += struct.pack("<I", frames)
    value = seed
    for frame in range(frames):
        value = (value * 1103515245 + 12345) & 0x7FFFFFFF
        out += struct.pack("<HfB", frame, (value % 20000) / 100.0, value & 0xFF)
    return bytes(out)


def shared_files():
    return {
        "sky.ini": lines_to_bytes([
            "; Sky and weather used by every track",
            "[ Sky ]",
            "sky_texture = sky_day.tga      ; Daytime sky",
            "night_texture = sky_night.tga  ; Night races",
            "cloud_speed = 0.20             ; Cloud drift",
        ]),
        "materials.txt": lines_to_bytes([
            "Surface materials shared by all tracks",
            "asphalt   grip 1.00",
            "concrete  grip 0.98",
            "grass     grip 0.45",
            "sand      grip 0.30",
        ]),
    }


def export_files():
    return {
        "Demo Cup 2024 results.txt": lines_to_bytes([
            "Demo Cup 2024 - results after 3 events",
            "Pos  Driver          Points",
            "1    Carla Test      505",
            "2    Ann Demo        478",
            "3    Bob Sample      431",
        ]),
        "bristol_setup_import.stp": setup_file("Bob", "bristol", True),
    }


def demo_files():
    """Returns {relative path with forward slashes: bytes}."""
    defaults = read_defaults()
    if sorted(defaults) != sorted(TRACKS):
        raise DemoError("defaultTrackini.dat and the demo tracks do not name the same folders")
    files = {}
    for player in PLAYERS:
        base = "players/" + player + "/"
        files[base + "playrecs.ini"] = playrecs_ini(player)
        files[base + "player.ini"] = player_ini(player)
        for track, race in (("bristol", True), ("daytona", True), ("bristol", False)):
            kind = "race" if race else "qual"
            files[base + "setups/" + track + "_" + kind + ".stp"] = setup_file(player, track, race)
    files["players/Ann.ks"] = key_settings("Ann")
    for season, (year, events) in SEASONS.items():
        for event in events:
            if event[4] not in TRACKS:
                raise DemoError("season " + season + " names an unknown track " + event[4])
        files["series/cup/" + season + ".ini"] = season_ini(season, year, events)
    for name, (number, driver, team) in CARS.items():
        files["series/cup/cars/" + name] = car_file(name, number, driver, team)
    files["series/cup/cars/cup_demo.lst"] = roster_file()
    for folder, values in defaults.items():
        values = list(values)
        for index, value in TRACK_CHANGES.get(folder, {}).items():
            values[index] = value
        files["tracks/" + folder + "/track.ini"] = track_ini(folder, values)
    for name, data in shared_files().items():
        files["tracks/shared/" + name] = data
    files["replay/atlanta_race.rpy"] = replay_file("atlanta", 3, 7)
    files["replay/bristol_qualifying.rpy"] = replay_file("bristol", 2, 11)
    for name, data in export_files().items():
        files["exports_imports/" + name] = data
    files[MARKER] = lines_to_bytes(["Demo game folder written by make_demo_game.py; safe to delete."])
    return files


def check_target(target):
    if os.path.exists(target) and not os.path.isdir(target):
        raise DemoError(target + " exists and is not a folder")
    if os.path.isdir(target) and os.listdir(target) and \
            not os.path.isfile(os.path.join(target, MARKER)):
        raise DemoError(target + " is not empty and was not written by this script; "
                        "choose an empty or new folder")


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    except FileNotFoundError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)
    return True


def write_demo(target):
    target = os.path.abspath(target)
    check_target(target)
    files = demo_files()
    written = 0
    for rel, data in sorted(files.items()):
        path = os.path.join(target, *rel.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        written += write_if_changed(path, data)
    return target, len(files), written


def main(argv):
    if len(argv) != 2 or argv[1].startswith("-"):
        print("usage: make_demo_game.py TARGET_DIR", file=sys.stderr)
        return 2
    try:
        target, total, written = write_demo(argv[1])
    except (DemoError, OSError) as e:
        print("make_demo_game.py: " + str(e), file=sys.stderr)
        return 1
    print("demo game folder %s: %d files, %d written" % (target, total, written))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
