#!/usr/bin/env python3
"""Draws every form of the shipped skins with skinc --render, at 240x320 (96 dpi) and
480x640 (192 dpi), into docs/skins/.

    render-previews.py [--build BUILD] [--out docs/skins] [--language english]

Run it after building (cmake --build build): it reads the filled skin sources that the
build leaves in BUILD/skins/<skin>/ and the language sources in data/. The forms fill
their nodes at run time (the page's texts and day rows, the list rows, the check marks)
and some node types belong to the program, which skinc does not have; so each preview
is a copy of the form with the program's part done by hand: sample texts, the rows a
list would show, the program's node types as plain containers of the engine. The
pictures, colours, fonts and coordinates are those of the skin.
"""
import argparse
import copy
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
from importlib import import_module  # noqa: E402

make_skin = import_module("make-skin")

# The program's node types, drawn as the engine's nearest ones.
PREVIEW_TYPES = {"icon_page": "node", "hour_strip": "node", "svlist": "vtable", "vlist": "vtable", "label_edit": "node",
                 "edit": "text", "menu": "node"}
# The weekday names the locale gives, by the language's word for "Today".
WEEKDAYS = {"Today": ["Monday", "Tuesday", "Wednesday", "Thursday", "Friday"],
            "Heute": ["Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag"],
            "Сегодня": ["понедельник", "вторник", "среда", "четверг", "пятница"]}
LIST_ONLY = ("grow", "highlight", "highlight_alpha", "scroll_border_min", "scroll_border_max", "locked")
SCREENS = [("240x320", 96, "96dpi"), ("480x640", 192, "192dpi")]


def read_language(name):
    table = {}
    with open(os.path.join(ROOT, "data", name + ".lng.utf8"), encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line and not line.startswith("#") and "=" in line:
                key, _, text = line.partition("=")
                table[key] = text
    return table


class Preview:
    def __init__(self, layout_path, language):
        self.tree = ET.parse(layout_path)
        self.root = self.tree.getroot()
        self.language = language
        self.out = ET.Element("skin")

    def template(self, name):
        for node in self.root:
            if node.get("name") == name:
                return copy.deepcopy(node)
        raise KeyError(name)

    @staticmethod
    def find(node, id_):
        for child in node.iter("node"):
            if child.get("id") == id_:
                return child
        raise KeyError(id_)

    @staticmethod
    def remove(node, id_):
        for parent in node.iter("node"):
            for child in list(parent):
                if child.get("id") == id_:
                    parent.remove(child)
                    return
        raise KeyError(id_)

    def text(self, key):
        return self.language.get(key, key)

    def set_text(self, node, id_, text):
        self.find(node, id_).set("text", text)

    def picture_of(self, template, code):
        return self.find(self.template(template), f"image{code}").get("src")

    @staticmethod
    def check(multinode, checked):
        """Makes state 1 (or 0) the shown one: the engine shows the first state."""
        states = [c for c in multinode if c.tag == "node"]
        if checked:
            multinode.remove(states[1])
            multinode.insert(0, states[1])

    @staticmethod
    def only_first_state(row):
        for id_ in ("#vlist_pressed", "#vlist_selected"):
            Preview.remove(row, id_)

    def add(self, name, form, *layers):
        """A preview node: the form's children, then the layers' children on top."""
        node = ET.Element("node", {"name": name})
        for attribute in ("outside_color",):
            if form.get(attribute):
                node.set(attribute, form.get(attribute))
        for part in (form,) + layers:
            for child in part:
                node.append(child)
        self.out.append(node)

    def dim(self):
        """A layer that halves the brightness of what is below, as the shell dims a form
        under a pop-up."""
        layer = ET.Element("node")
        ET.SubElement(layer, "node", {"type": "image", "src": "pictures/preview_dim.png", "alpha": "128"})
        return layer

    def page_strip(self, page_template, pages, current):
        main = self.template("FormMain")
        page = self.find(main, "page")
        content = self.template(page_template)
        for child in reversed(list(content)):
            page.insert(0, child)
        for i in range(10):
            dot = self.find(main, f"dot{i}")
            if i >= pages:
                self.remove(main, f"dot{i}")
            elif i == current:
                self.check(dot, True)
        return main, page

    def weather_page(self):
        main, page = self.page_strip("WeatherView", 4, 0)
        self.set_text(page, "ctext", "Berlin")
        self.set_text(page, "wtext", "+21°")
        self.set_text(page, "mtext", self.text("Last_update") + ": 8 December, 14:05")
        self.find(page, "image").set("src", self.picture_of("WeatherView", 30))
        view = self.template("WeatherView")
        bottoms = []
        for id_, extra in (("ctext", 0), ("wtext", 0), ("image", 5)):
            n = self.find(view, id_)
            top = int(n.get("border_min", "0 0").split()[1])
            height = int(n.get("design_size", "0 0").split()[1])
            bottoms.append(top + height + extra)
        rows = ET.SubElement(page, "node", {"type": "vtable", "anchor_y": "MIN_SIDE",
                                            "border_min": f"0 {2 + max(bottoms)}"})
        days = [("Today", 32, "+23°", "+12°"), ("Tomorrow", 28, "+22°", "+11°"), ("10.12.", 11, "+17°", "+9°"),
                ("11.12.", 4, "+15°", "+8°"), ("12.12.", 16, "-1°", "-6°")]
        weekdays = WEEKDAYS.get(self.language.get("Today"), WEEKDAYS["Today"])
        for (label, code, high, low), weekday in zip(days, weekdays):
            row = self.template("WeatherLine")
            del row.attrib["name"]
            self.set_text(row, "dtext1", self.text(label))
            self.set_text(row, "dtext2", weekday)
            self.set_text(row, "ttext1", high)
            self.set_text(row, "ttext2", low)
            self.find(row, "wimage").set("src", self.picture_of("WeatherLine", code))
            rows.append(row)
        self.add("P_FormMain", main)

    def advertising_page(self):
        main, page = self.page_strip("AdvScreen", 2, 1)
        self.set_text(page, "ctext", self.text("FIRST_TEXT"))
        self.set_text(page, "wtext", self.text("SECOND_TEXT"))
        self.set_text(page, "mtext", self.text("INSTALL_TEXT"))
        self.add("P_AdvScreen", main)

    def city_search(self):
        form = self.template("FormTotal")
        self.remove(form, "clear")
        listing = self.find(form, "listTotal")
        for name in ("Aachen, Germany", "Aalborg, Denmark", "Aarhus, Denmark", "Abu Dhabi, United Arab Emirates",
                     "Accra, Ghana", "Addis Ababa, Ethiopia", "Adelaide, Australia", "Agadir, Morocco"):
            row = self.template("SimpleElement")
            del row.attrib["name"]
            self.only_first_state(row)
            self.set_text(row, "text", name)
            listing.append(row)
        table = self.find(form, "ruler_table")
        letters = "ABCDEFGHIJKLMNOPRSTUVWYZ"
        entry = self.template("AlphabetRulerText")
        entry_height = int(entry.get("design_size").split()[1])
        ruler = self.find(form, "ruler_button")
        room = 320 - sum(int(ruler.get(a).split()[1]) for a in ("border_min", "border_max")) \
            - sum(int(table.get(a).split()[1]) for a in ("border_min", "border_max"))
        count = min(len(letters), room // entry_height)
        for i in range(count):
            e = self.template("AlphabetRulerText")
            del e.attrib["name"]
            self.set_text(e, "#text", letters[i * len(letters) // count])
            table.append(e)
        self.set_text(form, "#text", self.text(self.find(form, "editName").get("text")))
        self.add("P_FormTotal", form)

    def menu_form(self, with_icon_pair=False):
        form = self.template("FormMenu")
        self.check(self.find(form, "btnC"), True)
        self.check(self.find(form, "btnVal"), True)
        if not with_icon_pair:
            self.remove(form, "table")
        return form

    def menu(self):
        self.add("P_FormMenu", self.menu_form())
        self.add("P_FormMenuIconPair", self.menu_form(True))

    def popup(self):
        popup = self.template("Menu")
        self.set_text(popup, "caption", self.text("UpdateTime"))
        listing = self.find(popup, "list")
        for key in ("TIME_1", "TIME_3", "TIME_6", "TIME_12", "TIME_NEVER", "Cancel"):
            row = self.template("MenuElement")
            del row.attrib["name"]
            self.only_first_state(row)
            self.set_text(row, "text", self.text(key))
            self.check(self.find(row, "check"), key == "TIME_6")
            listing.append(row)
        self.add("P_Menu", self.menu_form(), self.dim(), popup)

    def city_list(self, confirm_row=1):
        form = self.template("FormItems")
        listing = self.find(form, "listCities")
        for i, name in enumerate(("Berlin", "Moscow", "New York", "Tokyo")):
            row = self.template("CityListElement")
            del row.attrib["name"]
            self.only_first_state(row)
            self.set_text(row, "text", name)
            if i != confirm_row:
                self.remove(row, "btnDelF")
            listing.append(row)
        return form

    def city_lists(self):
        self.add("P_FormItems", self.city_list())
        message = self.template("FormMessage")
        self.set_text(message, "message", "Delete some cities before adding")
        self.add("P_FormMessage", self.city_list(-1), self.dim(), message)

    def translate_and_retype(self):
        for node in self.out.iter("node"):
            kind = node.get("type")
            if kind in PREVIEW_TYPES:
                node.set("type", PREVIEW_TYPES[kind])
                # What only the program's type reads goes with it.
                for attribute in LIST_ONLY if kind in ("vlist", "svlist") else ("background_color",):
                    node.attrib.pop(attribute, None)
            text = node.get("text")
            if text is not None:
                node.set("text", self.text(text))

    def write(self, path):
        self.translate_and_retype()
        ET.ElementTree(self.out).write(path, encoding="utf-8", xml_declaration=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--out", default=os.path.join(ROOT, "docs", "skins"))
    parser.add_argument("--language", default="english")
    parser.add_argument("--skins", default="default,night")
    args = parser.parse_args()
    skinc = os.path.join(args.build, "bin", "skinc")
    language = read_language(args.language)
    os.makedirs(args.out, exist_ok=True)
    suffix = "" if args.language == "english" else "-" + args.language
    written = []
    for skin in args.skins.split(","):
        work = os.path.join(args.build, "skins", skin)
        preview = Preview(os.path.join(work, "layout.xml"), language)
        preview.weather_page()
        preview.advertising_page()
        preview.city_search()
        preview.menu()
        preview.popup()
        preview.city_lists()
        make_skin.write_png(os.path.join(work, "pictures", "preview_dim.png"), 2, 2, [[(0, 0, 0, 128)] * 2] * 2)
        source = os.path.join(work, "preview.xml")
        preview.write(source)
        compiled = os.path.join(work, "preview", "preview.skin")
        os.makedirs(os.path.dirname(compiled), exist_ok=True)
        subprocess.run([skinc, source, "-o", compiled], check=True)
        forms = [n.get("name") for n in preview.out]
        for form in forms:
            for size, dpi, label in SCREENS:
                png = os.path.join(args.out, f"{skin}-{form[2:]}-{label}{suffix}.png")
                subprocess.run([skinc, "--render", compiled, form, size, png, "--dpi", str(dpi)], check=True)
                written.append(png)
    splash = os.path.join(args.build, "program", "skins", "bin", "splash.skin")
    for size, dpi, label in SCREENS:
        png = os.path.join(args.out, f"splash-{label}.png")
        subprocess.run([skinc, "--render", splash, "Splash", size, png, "--dpi", str(dpi)], check=True)
        written.append(png)
    print(f"render-previews: {len(written)} pictures in {args.out}")


if __name__ == "__main__":
    main()
