#!/usr/bin/env python3
"""Writes example.igc: a short made-up flight of a small aeroplane for the
KTR-7 simulator's demo scenario and manual: ground run, take-off, climb,
cruise, a short dive past Vne, descent, landing. One fix a second with the
indicated airspeed (I record IAS, km/h); CR LF line ends as loggers write.

usage: make_example.py   (writes example.igc beside itself)
"""
import math
import os

# (end second, indicated airspeed at the end in km/h, vertical speed m/s);
# the airspeed ramps linearly over each segment.
SEGMENTS = [
    (60, 0, 0.0),      # on the ground, engine running
    (80, 110, 0.0),    # take-off roll
    (240, 130, 3.0),   # climb
    (270, 200, 0.0),   # level off, speed up
    (360, 200, 0.0),   # cruise
    (380, 370, -5.0),  # a dive past Vne
    (400, 200, -2.0),  # recovery
    (540, 150, -2.0),  # descent
    (580, 110, -1.5),  # approach
    (600, 60, 0.0),    # touch-down and roll
    (615, 0, 0.0),     # stopped
    (660, 0, 0.0),     # on the ground
]
FIELD_ELEVATION_M = 457.0
GNSS_ABOVE_PRESSURE_M = 31
START = 10 * 3600
LATITUDE, LONGITUDE = 47.0, 8.0
METRES_PER_DEGREE = 111320.0


def coordinate(value, width, positive, negative):
    degrees = int(abs(value))
    minutes = (abs(value) - degrees) * 60
    return f"{degrees:0{width}d}{int(round(minutes * 1000)):05d}{positive if value >= 0 else negative}"


def main():
    lines = ["AXXXKTR7EXAMPLE", "HFDTEDATE:010526,01", "HFPLTPILOTINCHARGE:A. Example", "HFGTYGLIDERTYPE:Demo 1",
             "HFGIDGLIDERID:D-EXMP", "HFDTM100GPSDATUM:WGS-1984", "I013638IAS"]
    altitude, longitude = FIELD_ELEVATION_M, LONGITUDE
    start, speed_before = 0, 0.0
    for end, speed_after, climb in SEGMENTS:
        for second in range(start, end):
            ias = speed_before + (speed_after - speed_before) * (second - start + 1) / (end - start)
            altitude += climb
            longitude += ias / 3.6 / (METRES_PER_DEGREE * math.cos(math.radians(LATITUDE)))
            t = START + second
            lines.append(f"B{t // 3600:02d}{t // 60 % 60:02d}{t % 60:02d}"
                         f"{coordinate(LATITUDE, 2, 'N', 'S')}{coordinate(longitude, 3, 'E', 'W')}A"
                         f"{int(round(altitude)):05d}{int(round(altitude)) + GNSS_ABOVE_PRESSURE_M:05d}"
                         f"{int(round(ias)):03d}")
        start, speed_before = end, speed_after
    lines += ["LXXXMADE-UP FLIGHT FOR THE KTR-7 SIMULATOR", "GXXXNOSIGNATURE"]
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "example.igc")
    with open(path, "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
