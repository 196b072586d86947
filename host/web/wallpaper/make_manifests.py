#!/usr/bin/env python3
"""Writes the wallpaper programs' descriptions and the page's property table
from properties.json, so that the page, Wallpaper Engine and Lively share one
list of properties and one set of start values.

usage: make_manifests.py properties.json OUT_DIR PREVIEW THUMBNAIL
  OUT_DIR gets project.json, LivelyInfo.json, LivelyProperties.json, properties.js and
  defaults.ini (the start values as a settings file, which the previews are drawn from).
"""
import json
import os
import sys

TITLE = "Orvex ScreenSaver"
DESCRIPTION = ("Cellular automata grown and drawn live: 22 rules in three families, seed patterns, moving lights "
               "and your pictures. Pauses when hidden and draws only frames that change.")
PICTURE_FILTER = "*.jpg|*.jpeg|*.png|*.bmp"


def rule_labels(src):
    return [f"{family}: {name}" for family, names in zip(src["families"], src["rules"]) for name in names]


def rule_index(src, family, rule):
    return sum(len(n) for n in src["rules"][:family]) + rule


def start_value(src, prop):
    """The property's value in the start settings."""
    d = src["defaults"]
    if prop["kind"] == "rule":
        return rule_index(src, int(d[2]), int(d[3]))
    if prop["kind"] == "bool":
        return d[prop["line"]] != "0"
    if prop["kind"] == "combo":
        return int(d[prop["line"]]) - prop["base"]
    if prop["kind"] == "slider":
        return int(float(d[prop["line"]]))
    if prop["kind"] == "text":
        return d[prop["line"]] if prop["line"] < len(d) else ""
    return ""


def items(src, prop):
    return rule_labels(src) if prop["kind"] == "rule" else prop.get("items", [])


def wallpaper_engine(src, preview):
    props = {}
    for order, p in enumerate(src["properties"]):
        entry = {"order": order, "text": p["text"]}
        if p["kind"] in ("rule", "combo"):
            entry.update(type="combo", value=start_value(src, p),
                         options=[{"label": label, "value": k} for k, label in enumerate(items(src, p))])
        elif p["kind"] == "bool":
            entry.update(type="bool", value=start_value(src, p))
        elif p["kind"] == "slider":
            entry.update(type="slider", value=start_value(src, p), min=p["min"], max=p["max"], step=p["step"],
                         fraction=False)
        elif p["kind"] == "text":
            entry.update(type="textinput", value=start_value(src, p))
        else:  # the user's picture folder, every file handed over
            entry.update(type="directory", mode="fetchall", value="")
        props[p["name"]] = entry
    return {"title": TITLE, "description": DESCRIPTION, "type": "web", "file": "wallpaper.html", "preview": preview,
            "tags": ["Abstract"], "general": {"supportsaudioprocessing": False, "properties": props}}


def lively_properties(src, folder):
    props = {}
    for p in src["properties"]:
        if p["kind"] in ("rule", "combo"):
            props[p["name"]] = {"type": "dropdown", "value": start_value(src, p), "text": p["text"],
                                "items": items(src, p)}
        elif p["kind"] == "bool":
            props[p["name"]] = {"type": "checkbox", "value": start_value(src, p), "text": p["text"]}
        elif p["kind"] == "slider":
            props[p["name"]] = {"type": "slider", "value": start_value(src, p), "min": p["min"], "max": p["max"],
                                "step": p["step"], "text": p["text"]}
        elif p["kind"] == "text":
            props[p["name"]] = {"type": "textbox", "value": start_value(src, p), "text": p["text"]}
        else:  # Lively lists the files of a folder inside the wallpaper's own; its panel adds files there
            props[p["name"]] = {"type": "folderDropdown", "value": folder["file"], "text": p["text"],
                                "folder": folder["name"], "filter": PICTURE_FILTER}
    return props


def lively_info(preview, thumbnail):
    return {"AppVersion": "1.0.0.0", "Title": TITLE, "Thumbnail": thumbnail, "Preview": preview, "Desc": DESCRIPTION,
            "Author": "Orvex", "License": "", "Contact": "", "Type": 1, "FileName": "wallpaper.html",
            "Arguments": "--pause-event true", "IsAbsolutePath": False}


def page_table(src):
    """The page's side: the start settings and how each property sets them."""
    props = {p["name"]: {k: v for k, v in p.items() if k in ("kind", "line", "base")} for p in src["properties"]}
    return {"defaults": "\r\n".join(src["defaults"]) + "\r\n",
            "ruleFamilies": [(f, r) for f, names in enumerate(src["rules"]) for r in range(len(names))],
            "properties": props}


def main():
    src = json.load(open(sys.argv[1]))
    out, preview, thumbnail = sys.argv[2], sys.argv[3], sys.argv[4]
    folder = {"name": "Pictures", "file": "Sunset.bmp"}
    os.makedirs(out, exist_ok=True)

    def write(name, data):
        with open(os.path.join(out, name), "w", newline="\n") as f:
            f.write(data)

    write("project.json", json.dumps(wallpaper_engine(src, preview), indent=2) + "\n")
    write("LivelyInfo.json", json.dumps(lively_info(preview, thumbnail), indent=2) + "\n")
    write("LivelyProperties.json", json.dumps(lively_properties(src, folder), indent=2) + "\n")
    with open(os.path.join(out, "defaults.ini"), "w", newline="") as f:
        f.write("".join(v + "\r\n" for v in src["defaults"]))
    write("properties.js", "// Made from properties.json by make_manifests.py.\n'use strict';\n"
          "window.orvexProperties = " + json.dumps(page_table(src)) + ";\n")


if __name__ == "__main__":
    main()
