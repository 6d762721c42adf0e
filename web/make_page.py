#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the site's index.html from its template: the window's caption, its attributes and
its markup as page_window wrote them, and the page's script inside the page, so that the
window's behaviour comes with the first response and no second request stands before it.
The Content-Security-Policy admits that one script by its SHA-256 digest and no other.

    make_page.py index.html.in window-prefix page.js index.html"""
import base64
import hashlib
import re
import sys


def main(template: str, window: str, script: str, target: str) -> None:
    def read(path: str) -> str:
        with open(path, encoding="utf-8") as file:
            return file.read()

    code = read(script)
    if "</script" in code.lower():
        sys.exit(f"{script} holds '</script', which would end it inside the page")
    digest = base64.b64encode(hashlib.sha256(code.encode("utf-8")).digest()).decode("ascii")
    parts = {
        "RMS_CAPTION": read(f"{window}.caption").strip(),
        "RMS_WINDOW": read(f"{window}.attributes").strip(),
        "RMS_MARKUP": read(f"{window}.markup"),
        "RMS_SCRIPT": code,
        "RMS_SCRIPT_HASH": f"'sha256-{digest}'",
    }
    for name, text in parts.items():
        if not text.strip():
            sys.exit(f"make_page.py: {name} is empty")
    # One pass, so that nothing inserted is read again as a placeholder.
    page = re.sub(r"@(RMS_[A-Z_]+)@", lambda match: parts[match.group(1)], read(template))
    with open(target, "w", encoding="utf-8", newline="\n") as file:
        file.write(page)


if __name__ == "__main__":
    main(*sys.argv[1:])
