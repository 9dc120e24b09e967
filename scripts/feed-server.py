#!/usr/bin/env python3
"""A local stand-in for the forecast service: answers /forecastrss?p=CODE&u=c with a
Yahoo-style RSS feed for any city code. Prints its port on the first line of output.

Usage: feed-server.py [PORT]   (0 or none: any free port on 127.0.0.1)
"""
import datetime
import http.server
import sys
import urllib.parse

MONTHS = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split()


def feed(code):
    today = datetime.date.today()
    days = []
    for i in range(5):
        d = today + datetime.timedelta(days=i)
        days.append(
            f'<yweather:forecast day="{d.strftime("%a")}" date="{d.day} {MONTHS[d.month - 1]} {d.year}" '
            f'low="{12 + i}" high="{24 + i}" text="Sunny" code="{32 - i}"/>')
    now = datetime.datetime.now()
    condition_date = now.strftime("%a, %d ") + MONTHS[now.month - 1] + now.strftime(" %Y %I:%M %p")
    return f"""<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>
<rss version="2.0" xmlns:yweather="http://xml.weather.yahoo.com/ns/rss/1.0" xmlns:geo="http://www.w3.org/2003/01/geo/wgs84_pos#">
<channel>
<title>Weather - {code}</title>
<yweather:units temperature="C" distance="km" pressure="mb" speed="km/h"/>
<item>
<title>Conditions for {code}</title>
<yweather:condition text="Sunny" code="32" temp="26" date="{condition_date}"/>
{chr(10).join(days)}
</item>
</channel>
</rss>
""".encode("utf-8")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        url = urllib.parse.urlparse(self.path)
        query = urllib.parse.parse_qs(url.query)
        if url.path != "/forecastrss" or "p" not in query:
            self.send_error(404)
            return
        body = feed(query["p"][0])
        self.send_response(200)
        self.send_header("Content-Type", "text/xml;charset=UTF-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    port = int(sys.argv[1]) if len(sys.argv) > 1 else 0
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
