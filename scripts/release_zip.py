#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Packs a folder into a ZIP whose bytes depend on the files' names and contents alone:
entries in sorted order under one top folder, every time SOURCE_DATE_EPOCH (UTC), modes
755 for folders and programs and 644 for the rest, and no extra fields with owners or finer
times. Used for the site, and by cpack for the Windows ZIP, whose own writer follows the
order of the file system's directories, the builder's time zone and user id.
  release_zip.py FOLDER TOP_FOLDER_NAME OUTPUT.zip"""
import os
import stat
import sys
import time
import zipfile


def entry(name: str, when: tuple, mode: int) -> zipfile.ZipInfo:
    info = zipfile.ZipInfo(name, when)
    info.create_system = 3  # Unix, so that unzip reads the modes
    info.external_attr = mode << 16
    return info


def main(folder: str, top: str, output: str) -> None:
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    # ZIP has no time zone and no date before 1980.
    when = time.gmtime(max(epoch, 315532800))[:6]
    paths = []
    for root, dirs, names in os.walk(folder):
        paths += [os.path.join(root, n) for n in dirs + names]
    if not any(os.path.isfile(p) for p in paths):
        sys.exit(f"release_zip: {folder} holds no files")
    paths.sort(key=lambda p: os.path.relpath(p, folder).split(os.sep))
    with zipfile.ZipFile(output + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        archive.writestr(entry(top + "/", when, stat.S_IFDIR | 0o755), b"")
        for path in paths:
            name = top + "/" + os.path.relpath(path, folder).replace(os.sep, "/")
            if os.path.isdir(path):
                archive.writestr(entry(name + "/", when, stat.S_IFDIR | 0o755), b"")
                continue
            mode = 0o755 if os.access(path, os.X_OK) else 0o644
            with open(path, "rb") as f:
                archive.writestr(entry(name, when, stat.S_IFREG | mode), f.read(),
                                 zipfile.ZIP_DEFLATED, 9)
    os.replace(output + ".part", output)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
