#!/usr/bin/env python3
"""Write paiview.html: the page with its style, the module and its script inlined.

Usage: build_page.py VERSION PAIVIEW_JS PAIVIEW_WASM OUT_HTML page.html page.css runner.js app.js

The module's bytes go into the script as base64 (PAIVIEW_WASM), handed to the module
as they are: it never fetches them, not even from a data: URL.

The Content-Security-Policy names the one inline script by its hash and forbids every
fetch, so the page proves that it loads nothing and sends nothing.
"""
import base64
import hashlib
import re
import sys


def main():
    if len(sys.argv) != 9:
        sys.exit(__doc__)
    version, module, wasm, out, template, css, *scripts = sys.argv[1:]
    read = lambda path: open(path, encoding="utf-8").read()
    with open(wasm, "rb") as f:
        wasm_text = base64.b64encode(f.read()).decode("ascii")
    script = "\n".join([f'const PAIVIEW_WASM = "{wasm_text}";'] +
                       [read(path) for path in [module, *scripts]])
    style = read(css)
    # Inline text must not close its own element early.
    if re.search(r"</script|<!--", script, re.I) or re.search(r"</style", style, re.I):
        sys.exit("build_page.py: a script or the style would end its element early")
    digest = base64.b64encode(hashlib.sha256(script.encode("utf-8")).digest()).decode()
    # wasm-unsafe-eval: compiling the inlined module. Styles inline: the report's own too,
    # shown in a frame that inherits this policy and runs no script.
    csp = ("default-src 'none'; "
           f"script-src 'sha256-{digest}' 'wasm-unsafe-eval'; "
           "style-src 'unsafe-inline'; img-src 'none'; base-uri 'none'; form-action 'none'")
    page = read(template)
    marks = (("@VERSION@", version), ("@CSP@", csp), ("@STYLE@", style), ("@SCRIPT@", script))
    for mark, text in marks:
        if page.count(mark) != 1:
            sys.exit(f"build_page.py: {template} must hold {mark} once")
        before, after = page.split(mark)
        page = before + text + after
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write(page)
    print(f"build_page.py: wrote {out} ({len(page.encode('utf-8'))} bytes)")


if __name__ == "__main__":
    main()
