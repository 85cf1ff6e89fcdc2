#!/usr/bin/env python3
"""The Debian package: built with cpack from the build tree into a scratch
folder, then read with dpkg-deb (control fields, dependencies, file list,
modes, changelog, manual page) without installing it, and checked by lintian.

usage: package_test.py --source-dir . --build-dir build --version 2.0.0 [--with-helper]
"""

import argparse
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e_support import check, require_tools, run  # noqa: E402

FILES = {  # path in the package -> mode
    "./usr/bin/quelm": "-rwxr-xr-x",
    "./usr/lib/quelm/quelm-check": "-rwxr-xr-x",
    "./usr/share/quelm/help/index.htm": "-rw-r--r--",
    "./usr/share/applications/com.quelm.Search.desktop": "-rw-r--r--",
    "./usr/share/metainfo/com.quelm.Search.metainfo.xml": "-rw-r--r--",
    "./usr/share/icons/hicolor/scalable/apps/com.quelm.Search.svg": "-rw-r--r--",
    "./usr/share/doc/quelm/copyright": "-rw-r--r--",
    "./usr/share/doc/quelm/changelog.gz": "-rw-r--r--",
    "./usr/share/man/man1/quelm.1.gz": "-rw-r--r--",
}
FILES.update({"./usr/share/icons/hicolor/%dx%d/apps/com.quelm.Search.png" % (n, n): "-rw-r--r--"
              for n in (16, 24, 32, 48, 64, 128, 256)})
HELPER = "./usr/lib/quelm/quelm-browser"

# lintian's infos that stay, and why. Any error or warning fails the test.
KEPT_INFOS = {
    # CPack strips with plain strip, which keeps the compiler's version string (one line).
    "binary-has-unneeded-section",
    # The help page is the program's data: 帮助 opens it from bin/../share/quelm/help/.
    "package-contains-documentation-outside-usr-share-doc",
}


def output(*command):
    result = subprocess.run(command, capture_output=True, text=True, timeout=600)
    check(result.returncode == 0, "%s failed:\n%s%s" % (" ".join(command), result.stdout, result.stderr))
    return result.stdout


def depends_names(field):
    """Package names of a Depends field, alternatives included, without versions."""
    names = set()
    for clause in field.split(","):
        for alternative in clause.split("|"):
            name = re.sub(r"\(.*?\)|:\S+", "", alternative).strip()
            if name:
                names.add(name)
    return names


def check_documents(source_dir, unpacked, version):
    """The changelog is the repository's (CMake takes the version from its newest entry), the
    README's install section names that version, the manual page renders without a warning."""
    with open(os.path.join(source_dir, "packaging", "changelog"), "rb") as f:
        changelog = f.read()
    with gzip.open(os.path.join(unpacked, "usr/share/doc/quelm/changelog.gz")) as f:
        check(f.read() == changelog, "the package's changelog is not packaging/changelog")
    with open(os.path.join(source_dir, "README.md"), encoding="utf-8") as f:
        install = f.read().partition("\n## Install")[2].partition("\n## ")[0]
    named = set(re.findall(r"\b\d+\.\d+\.\d+\b", install))
    check(named == {version}, "the README's install section names version %r, the package is %s" % (named, version))

    environment = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80")
    result = subprocess.run(["man", "--warnings", "-l", os.path.join(unpacked, "usr/share/man/man1/quelm.1.gz")],
                            capture_output=True, text=True, env=environment, timeout=60)
    check(result.returncode == 0 and not result.stderr and "Failed to set data for 'quelm_ie'" in result.stdout,
          "man -l quelm.1.gz: status %d\n%s" % (result.returncode, result.stderr))


def check_lintian(deb):
    result = subprocess.run(["lintian", "--no-cfg", "--display-info", "--tag-display-limit", "0", deb],
                            capture_output=True, text=True, timeout=600)
    tags = [line for line in result.stdout.splitlines() if re.match(r"[EWI]: ", line)]
    check(tags or result.returncode == 0, "lintian failed:\n%s%s" % (result.stdout, result.stderr))
    refused = [t for t in tags if not t.startswith("I: ") or t.split()[2] not in KEPT_INFOS]
    check(not refused, "lintian:\n" + "\n".join(refused))


def test_package(source_dir, build_dir, version, with_helper, scratch):
    output("cpack", "-G", "DEB", "--config", os.path.join(build_dir, "CPackConfig.cmake"), "-B", scratch)
    arch = output("dpkg", "--print-architecture").strip()
    debs = sorted(f for f in os.listdir(scratch) if f.endswith(".deb"))
    name = "quelm_%s_%s.deb" % (version, arch)
    check(debs == [name], "packages built: %r, expected [%r]" % (debs, name))
    deb = os.path.join(scratch, name)

    fields = {}
    for field in ("Package", "Version", "Architecture", "Maintainer", "Section", "Priority",
                  "Depends", "Suggests", "Description", "Installed-Size", "Homepage"):
        fields[field] = output("dpkg-deb", "-f", deb, field).strip()
    check(fields["Package"] == "quelm", "Package: %r" % fields["Package"])
    check(fields["Version"] == version, "Version: %r" % fields["Version"])
    check(fields["Architecture"] == arch, "Architecture: %r" % fields["Architecture"])
    check(re.fullmatch(r".+ <[^@\s]+@[^@\s]+>", fields["Maintainer"]), "Maintainer: %r" % fields["Maintainer"])
    check(fields["Section"] == "web", "Section: %r" % fields["Section"])
    check(int(fields["Installed-Size"]) > 0, "Installed-Size: %r" % fields["Installed-Size"])
    summary, _, extended = fields["Description"].partition("\n")
    check(summary.strip() and len(summary) <= 80, "Description's first line: %r" % summary)
    check(len(extended.split()) >= 10, "Description has no extended text: %r" % fields["Description"])

    depends = depends_names(fields["Depends"])
    check(depends_names(fields["Suggests"]) == {"fcitx5-frontend-qt6"}, "Suggests: %r" % fields["Suggests"])
    wanted = {"fonts-arphic-uming", "xdg-utils", "qt6-translations-l10n", "libc6", "libstdc++6", "libqt6core6", "libqt6gui6",
              "libqt6widgets6", "libqt6network6"}
    if with_helper:
        wanted |= {"libqt6webenginewidgets6", "libqt6webenginecore6"}
    check(wanted <= depends, "Depends lacks %s: %s" % (", ".join(sorted(wanted - depends)), fields["Depends"]))

    listing = {}
    for line in output("dpkg-deb", "-c", deb).splitlines():
        parts = line.split(None, 5)
        path = parts[5].split(" -> ")[0]
        listing[path.rstrip("/") if path != "./" else path] = (parts[0], parts[1])
    expected = dict(FILES)
    if with_helper:
        expected[HELPER] = "-rwxr-xr-x"
    for path, mode in expected.items():
        check(path in listing, "not in the package: " + path)
        check(listing[path][0] == mode, "%s has mode %s, expected %s" % (path, listing[path][0], mode))
    wrong_owner = [p for p, (_, owner) in listing.items() if owner != "root/root"]
    check(not wrong_owner, "not owned by root: %r" % wrong_owner)
    files = {p for p, (mode, _) in listing.items() if not mode.startswith("d")}
    extra = sorted(files - set(expected))
    check(not extra, "unexpected files in the package: %r" % extra)

    # Stripped: the package carries no debugging sections.
    unpacked = os.path.join(scratch, "unpacked")
    output("dpkg-deb", "-x", deb, unpacked)
    for program in [p for p, mode in expected.items() if mode.startswith("-rwx")]:
        sections = output("readelf", "-S", "-W", os.path.join(unpacked, program))
        check(".debug_info" not in sections, program + " is not stripped")

    check_documents(source_dir, unpacked, version)
    check_lintian(deb)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--with-helper", action="store_true")
    args = parser.parse_args()
    require_tools("cpack", "dpkg-deb", "dpkg", "readelf", "man", "lintian")
    scratch = tempfile.mkdtemp(prefix="quelm-package-")
    try:
        test_package(args.source_dir, args.build_dir, args.version, args.with_helper, scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(run(main))
