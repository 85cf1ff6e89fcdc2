#!/usr/bin/env python3
"""What appstreamcli cannot know about the metainfo: that it matches the
project it ships with (version, launcher entry, icon, screenshots in the
repository) and that every text has its English translation.

usage: check_metainfo.py --source-dir . --version 2.0.0
"""

import argparse
import configparser
import os
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e_support import check, run  # noqa: E402

LANG = "{http://www.w3.org/XML/1998/namespace}lang"


def check_translations(parent, tag, where):
    untranslated = [e for e in parent.findall(tag) if LANG not in e.attrib]
    english = [e for e in parent.findall(tag) if e.get(LANG) == "en"]
    check(untranslated, "%s: no <%s>" % (where, tag))
    check(len(untranslated) == len(english),
          "%s: %d <%s> but %d in English" % (where, len(untranslated), tag, len(english)))
    for element in untranslated + english:
        check("".join(element.itertext()).strip(), "%s: an empty <%s>" % (where, tag))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--version", required=True)
    args = parser.parse_args()
    packaging = os.path.join(args.source_dir, "packaging")
    root = ET.parse(os.path.join(packaging, "com.quelm.Search.metainfo.xml")).getroot()
    app_id = root.findtext("id")

    releases = root.findall("releases/release")
    check(releases and releases[0].get("version") == args.version,
          "the newest release is %r, the project is %s" % (releases[0].get("version") if releases else None,
                                                            args.version))

    launchable = root.findtext("launchable[@type='desktop-id']")
    check(launchable == app_id + ".desktop", "launchable %r for id %r" % (launchable, app_id))
    desktop_path = os.path.join(packaging, launchable)
    check(os.path.isfile(desktop_path), "no launcher entry " + desktop_path)
    entry = configparser.ConfigParser(interpolation=None, strict=False)
    entry.optionxform = str
    entry.read(desktop_path, encoding="utf-8")
    icon = entry["Desktop Entry"].get("Icon")
    check(icon == app_id, "the launcher's icon %r is not %r" % (icon, app_id))
    check(os.path.isfile(os.path.join(args.source_dir, "resources/icons/hicolor/scalable/apps", icon + ".svg")),
          "no scalable icon " + icon)
    binary = root.findtext("provides/binary")
    check(entry["Desktop Entry"].get("Exec", "").split()[:1] == [binary],
          "the launcher does not start the provided binary %r" % binary)

    check_translations(root, "name", "component")
    check_translations(root, "summary", "component")
    for parent in [root.find("description")] + root.findall("description/ul"):
        check(parent is not None, "no <description>")
        check_translations(parent, "p" if parent.tag == "description" else "li", "<%s>" % parent.tag)

    screenshots = root.findall("screenshots/screenshot")
    check(screenshots, "no screenshots")
    check([s.get("type") for s in screenshots].count("default") == 1, "not exactly one default screenshot")
    for shot in screenshots:
        check_translations(shot, "caption", "screenshot")
        image = shot.findtext("image")
        local = os.path.join(args.source_dir, "docs/screenshots", os.path.basename(image or ""))
        check(os.path.isfile(local), "%s has no copy in docs/screenshots" % image)


if __name__ == "__main__":
    sys.exit(run(main))
