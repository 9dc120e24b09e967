#!/usr/bin/env python3
"""Writes forecastd's sample replies: one Open-Meteo forecast answer per city, FOLDER/CODE.json,
in the provider's exact JSON format.

    data/make-sample-replies.py --places build/program/places.tsv FOLDER            # sample data
    data/make-sample-replies.py --places build/program/places.tsv --record FOLDER   # real replies

Without --record the values are made up: plausible for the place and the season (monthly
normals of each city, day-to-day changes drawn from a generator seeded by city and date), in
degrees Celsius. With --record each city's real answer is fetched from the provider instead;
a city whose answer cannot be fetched gets made-up values and the script says so.
forecastd --offline serves both kinds as sample data and moves their days to today."""
import argparse
import json
import math
import os
import random
import sys
import urllib.request
from datetime import date, datetime, timedelta, timezone
from zoneinfo import ZoneInfo

PROVIDER = "https://api.open-meteo.com/v1/forecast"

# code: (January high, January low, July high, July low, share of wet days in January,
# the same in July, elevation in metres). Normals in degrees Celsius, rounded.
CITIES = {
    "02950159": (3, -2, 24, 14, 0.45, 0.40, 34),      # Berlin
    "03448439": (28, 19, 22, 12, 0.60, 0.20, 760),    # São Paulo
    "01850147": (10, 1, 30, 23, 0.15, 0.45, 40),      # Tokyo
    "05128581": (4, -3, 29, 21, 0.35, 0.35, 10),      # New York
    "02643743": (8, 2, 23, 14, 0.50, 0.35, 25),       # London
    "02988507": (7, 3, 25, 15, 0.45, 0.30, 42),       # Paris
    "00524901": (-4, -10, 24, 14, 0.50, 0.45, 156),   # Moscow
    "01816670": (2, -9, 31, 22, 0.10, 0.50, 44),      # Beijing
    "01796236": (8, 1, 32, 26, 0.35, 0.45, 4),        # Shanghai
    "01273294": (20, 8, 34, 27, 0.10, 0.60, 216),     # Delhi
    "01275339": (31, 19, 30, 25, 0.02, 0.90, 14),     # Mumbai
    "00360630": (19, 9, 35, 22, 0.05, 0.00, 23),      # Cairo
    "02332459": (32, 23, 28, 23, 0.10, 0.60, 41),     # Lagos
    "00184745": (26, 12, 22, 11, 0.20, 0.20, 1795),   # Nairobi
    "00993800": (26, 15, 17, 4, 0.50, 0.02, 1753),    # Johannesburg
    "03369157": (26, 16, 18, 7, 0.10, 0.55, 20),      # Cape Town
    "02147714": (26, 19, 17, 8, 0.40, 0.35, 58),      # Sydney
    "02158177": (26, 14, 14, 6, 0.30, 0.45, 31),      # Melbourne
    "02193733": (23, 16, 15, 7, 0.30, 0.60, 26),      # Auckland
    "05368361": (20, 9, 29, 18, 0.20, 0.00, 89),      # Los Angeles
    "04887398": (0, -8, 29, 19, 0.35, 0.35, 179),     # Chicago
    "06167865": (-1, -7, 27, 17, 0.45, 0.35, 175),    # Toronto
    "03530597": (22, 6, 23, 12, 0.05, 0.70, 2240),    # Mexico City
    "03435910": (30, 20, 15, 8, 0.30, 0.25, 25),      # Buenos Aires
    "03936456": (26, 20, 19, 15, 0.05, 0.05, 154),    # Lima
    "03688689": (19, 7, 18, 8, 0.35, 0.45, 2640),     # Bogotá
    "03117735": (10, 3, 32, 19, 0.20, 0.05, 667),     # Madrid
    "03169070": (12, 3, 31, 18, 0.30, 0.05, 37),      # Rome
    "00745044": (9, 3, 28, 20, 0.50, 0.10, 39),       # Istanbul
    "00292223": (24, 14, 41, 30, 0.05, 0.00, 10),     # Dubai
    "01642911": (30, 24, 32, 24, 0.70, 0.25, 8),      # Jakarta
    "01609350": (32, 22, 33, 26, 0.05, 0.60, 4),      # Bangkok
    "01835848": (2, -6, 29, 22, 0.20, 0.55, 38),      # Seoul
    "01819729": (19, 14, 31, 27, 0.15, 0.55, 33),     # Hong Kong
    "01701668": (30, 23, 31, 25, 0.10, 0.75, 13),     # Manila
    "03413829": (2, -3, 14, 9, 0.60, 0.45, 61),       # Reykjavik
    "05879400": (-5, -12, 19, 11, 0.35, 0.45, 40),    # Anchorage
    "05856195": (27, 19, 31, 23, 0.30, 0.20, 5),      # Honolulu
    "04035413": (30, 24, 29, 23, 0.70, 0.35, 2),      # Apia (UTC+13)
    "04032402": (29, 23, 24, 18, 0.55, 0.30, 3),      # Nuku'alofa (UTC+13)
    "02673730": (1, -4, 23, 14, 0.45, 0.40, 28),      # Stockholm
    "00112931": (8, -1, 37, 25, 0.20, 0.02, 1190),    # Tehran
    "02028462": (-16, -27, 23, 11, 0.05, 0.45, 1350), # Ulaanbaatar
    "03451190": (30, 23, 25, 18, 0.45, 0.20, 10),     # Rio de Janeiro
}

DRY = [0, 0, 1, 1, 2, 2, 3, 45]
WET = [51, 53, 55, 61, 61, 63, 65, 80, 80, 81, 82]
STORMY = WET + [95, 95, 96, 99]
FREEZING = [51, 56, 57, 61, 66, 67, 71]
SNOW = [71, 71, 73, 73, 75, 77, 85, 86]


def read_places(path):
    places = {}
    with open(path, encoding="utf-8") as tsv:
        for line in tsv:
            if line.startswith("#"):
                continue
            f = line.rstrip("\n").split("\t")
            if len(f) >= 6:
                places[f[0]] = {"lat": float(f[1]), "lon": float(f[2]), "zone": f[3], "name": f[5]}
    return places


def season_weight(day):
    """0 in mid-January, 1 in mid-July."""
    return (1 - math.cos(2 * math.pi * (day.timetuple().tm_yday - 15) / 365.25)) / 2


def sun_is_up(lat, lon, when_utc):
    rad = math.pi / 180
    declination = 23.44 * math.sin(2 * math.pi * (284 + when_utc.timetuple().tm_yday) / 365)
    hours = when_utc.hour + when_utc.minute / 60
    angle = 15 * (hours + lon / 15 - 12)
    elevation = math.asin(math.sin(lat * rad) * math.sin(declination * rad)
                          + math.cos(lat * rad) * math.cos(declination * rad) * math.cos(angle * rad)) / rad
    return elevation > -0.83


def made_up(code, place, now_utc):
    jan_high, jan_low, jul_high, jul_low, wet_jan, wet_jul, elevation = CITIES[code]
    zone = ZoneInfo(place["zone"])
    local = now_utc.astimezone(zone)
    offset = int(local.utcoffset().total_seconds())
    today = local.date()
    rng = random.Random(f"{code}-{today.isoformat()}")
    times, codes, highs, lows = [], [], [], []
    drift = rng.uniform(-2.5, 2.5)
    for n in range(7):
        day = today + timedelta(days=n)
        w = season_weight(day)
        high = jan_high + (jul_high - jan_high) * w + drift + rng.uniform(-1.5, 1.5)
        low = jan_low + (jul_low - jan_low) * w + drift + rng.uniform(-1.5, 1.5)
        drift = max(-5.0, min(5.0, drift + rng.uniform(-2, 2)))
        if low > high - 2:
            low = high - 2
        wet = rng.random() < wet_jan + (wet_jul - wet_jan) * w
        if wet and high < 2:
            weather = rng.choice(SNOW)
        elif wet:
            weather = rng.choice(STORMY if high > 18 else WET if high > 3 else FREEZING)
        else:
            weather = rng.choice(DRY)
        if wet:
            high -= 2
        times.append(day.isoformat())
        codes.append(weather)
        highs.append(round(high, 1))
        lows.append(round(low, 1))
    hour = local.hour + local.minute / 60
    warmth = 0.5 + 0.5 * math.cos(2 * math.pi * (hour - 15) / 24)
    # The reply's current condition stands at midnight, so that it keeps the whole day's hours:
    # forecastd moves it to the time it answers and drops the hours before that.
    current_time = local.replace(hour=0, minute=0, second=0, microsecond=0)
    wet_today = codes[0] not in DRY
    # The hours of today and tomorrow from midnight, on the same daily curve as the
    # current temperature; forecastd keeps those from the current hour on.
    hour_times, hour_temps, hour_codes, hour_chances, hour_days = [], [], [], [], []
    midnight = datetime(today.year, today.month, today.day, tzinfo=zone)
    for n in range(48):
        at = midnight + timedelta(hours=n)
        d = n // 24
        curve = 0.5 + 0.5 * math.cos(2 * math.pi * (n % 24 - 15) / 24)
        wet = codes[d] not in DRY
        hour_times.append(at.strftime("%Y-%m-%dT%H:%M"))
        hour_temps.append(round(lows[d] + (highs[d] - lows[d]) * curve, 1))
        hour_codes.append(codes[d])
        hour_chances.append(rng.randint(40, 90) if wet else rng.randint(0, 15))
        hour_days.append(1 if sun_is_up(place["lat"], place["lon"], at.astimezone(timezone.utc)) else 0)
    current_temperature = round(lows[0] + (highs[0] - lows[0]) * warmth, 1)
    wind = round(rng.uniform(4, 32), 1)
    sunrise, sunset = sun_times(place["lat"], place["lon"], today, offset)
    season = season_weight(today) if place["lat"] >= 0 else 1 - season_weight(today)
    uv = max(0.0, (10 - abs(place["lat"]) / 9) * (0.35 + 0.65 * season) - (3 if wet_today else 0))
    return {
        "latitude": round(place["lat"], 4),
        "longitude": round(place["lon"], 4),
        "generationtime_ms": 0.04,
        "utc_offset_seconds": offset,
        "timezone": place["zone"],
        "timezone_abbreviation": local.tzname() or "GMT",
        "elevation": float(elevation),
        "current_units": {"time": "iso8601", "interval": "seconds", "temperature_2m": "\u00b0C",
                          "weather_code": "wmo code", "is_day": "", "relative_humidity_2m": "%",
                          "apparent_temperature": "\u00b0C", "wind_speed_10m": "km/h",
                          "wind_direction_10m": "\u00b0", "pressure_msl": "hPa"},
        "current": {"time": current_time.strftime("%Y-%m-%dT%H:%M"), "interval": 900,
                    "temperature_2m": current_temperature,
                    "weather_code": codes[0], "is_day": 1 if sun_is_up(place["lat"], place["lon"], now_utc) else 0,
                    "relative_humidity_2m": rng.randint(70, 96) if wet_today else rng.randint(35, 75),
                    "apparent_temperature": round(current_temperature - wind / 10 - (1 if wet_today else 0), 1),
                    "wind_speed_10m": wind, "wind_direction_10m": rng.randrange(0, 360, 10),
                    "pressure_msl": round(rng.uniform(998, 1012) if wet_today else rng.uniform(1008, 1030), 1)},
        "hourly_units": {"time": "iso8601", "temperature_2m": "\u00b0C", "weather_code": "wmo code",
                         "precipitation_probability": "%", "is_day": ""},
        "hourly": {"time": hour_times, "temperature_2m": hour_temps, "weather_code": hour_codes,
                   "precipitation_probability": hour_chances, "is_day": hour_days},
        "daily_units": {"time": "iso8601", "weather_code": "wmo code", "temperature_2m_max": "\u00b0C",
                        "temperature_2m_min": "\u00b0C", "sunrise": "iso8601", "sunset": "iso8601",
                        "precipitation_sum": "mm", "precipitation_probability_max": "%", "uv_index_max": ""},
        "daily": {"time": times, "weather_code": codes, "temperature_2m_max": highs, "temperature_2m_min": lows,
                  "sunrise": [sunrise], "sunset": [sunset],
                  "precipitation_sum": [round(rng.uniform(0.5, 14), 1) if wet_today else 0.0],
                  "precipitation_probability_max": [max(hour_chances[:24])],
                  "uv_index_max": [round(uv, 1)]},
    }


def sun_times(lat, lon, day, offset):
    """Sunrise and sunset of a day as the city's wall-clock texts, None in a polar day or night."""
    rad = math.pi / 180
    declination = 23.44 * math.sin(2 * math.pi * (284 + day.timetuple().tm_yday) / 365)
    cos_h = ((math.sin(-0.83 * rad) - math.sin(lat * rad) * math.sin(declination * rad))
             / (math.cos(lat * rad) * math.cos(declination * rad)))
    if abs(cos_h) > 1:
        return None, None
    half = math.acos(cos_h) / rad / 15
    noon = 12 - lon / 15 + offset / 3600
    midnight = datetime(day.year, day.month, day.day)
    texts = []
    for hours in (noon - half, noon + half):
        minutes = max(0, min(24 * 60 - 1, round(hours * 60)))
        texts.append((midnight + timedelta(minutes=minutes)).strftime("%Y-%m-%dT%H:%M"))
    return texts[0], texts[1]


def recorded(place):
    query = (f"?latitude={place['lat']:.4f}&longitude={place['lon']:.4f}"
             "&current=temperature_2m,weather_code,is_day,relative_humidity_2m,apparent_temperature,"
             "wind_speed_10m,wind_direction_10m,pressure_msl"
             "&hourly=temperature_2m,weather_code,precipitation_probability,is_day"
             "&daily=weather_code,temperature_2m_max,temperature_2m_min,sunrise,sunset,precipitation_sum,"
             "precipitation_probability_max,uv_index_max&timezone=auto&forecast_days=7")
    with urllib.request.urlopen(PROVIDER + query, timeout=10) as answer:
        reply = json.load(answer)
    if "current" not in reply or "daily" not in reply:
        raise ValueError("not a forecast")
    return reply


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--places", required=True, help="places.tsv written by make-citydb")
    parser.add_argument("--record", action="store_true", help="fetch real replies from the provider")
    parser.add_argument("folder")
    args = parser.parse_args()
    places = read_places(args.places)
    now = datetime.now(timezone.utc)
    os.makedirs(args.folder, exist_ok=True)
    made, fetched = 0, 0
    for code in CITIES:
        place = places.get(code)
        if place is None:
            print(f"make-sample-replies: {code} is not in {args.places}; left out", file=sys.stderr)
            continue
        reply = None
        if args.record:
            try:
                reply = recorded(place)
                fetched += 1
            except Exception as failure:  # noqa: BLE001 - any failure falls back to sample values
                print(f"make-sample-replies: {place['name']}: provider not reached ({failure}); made-up values",
                      file=sys.stderr)
        if reply is None:
            reply = made_up(code, place, now)
            made += 1
        with open(os.path.join(args.folder, code + ".json"), "w", encoding="utf-8") as out:
            json.dump(reply, out, ensure_ascii=False, separators=(",", ":"))
    print(f"make-sample-replies: {fetched} recorded and {made} made-up replies in {args.folder}")


if __name__ == "__main__":
    main()
