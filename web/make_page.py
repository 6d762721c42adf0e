#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the site's index.html from its template: the window's caption, its attributes and
its markup as page_window wrote them, and the page's style and script inside the page, so
that the window is painted and given its behaviour from the first response, with no second
request before it. The Content-Security-Policy admits that one style and that one script by
their SHA-256 digests and no others.

    make_page.py index.html.in window-prefix page.css page.js index.html"""
import base64
import hashlib
import re
import sys


def main(template: str, window: str, style: str, script: str, target: str) -> None:
    def read(path: str) -> str:
        with open(path, encoding="utf-8") as file:
            return file.read()

    def inline(path: str, element: str) -> tuple[str, str]:
        text = read(path)
        if f"</{element}" in text.lower():
            sys.exit(f"{path} holds '</{element}', which would end it inside the page")
        digest = hashlib.sha256(text.encode("utf-8")).digest()
        return text, f"'sha256-{base64.b64encode(digest).decode('ascii')}'"

    rules, style_hash = inline(style, "style")
    code, script_hash = inline(script, "script")
    parts = {
        "RMS_CAPTION": read(f"{window}.caption").strip(),
        "RMS_WINDOW": read(f"{window}.attributes").strip(),
        "RMS_MARKUP": read(f"{window}.markup"),
        "RMS_STYLE": rules,
        "RMS_STYLE_HASH": style_hash,
        "RMS_SCRIPT": code,
        "RMS_SCRIPT_HASH": script_hash,
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
