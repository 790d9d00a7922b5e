#!/usr/bin/env python3
"""Write paiview.html: the page with its style, the module and its script inlined.

Usage: build_page.py VERSION PAIVIEW_JS PAIVIEW_WASM OUT_HTML page.html page.css runner.js worker.js app.js

The command runs in a worker, whose script is text in the page (a script element of
type text/plain, which never runs there) that app.js starts from a Blob URL. The
module's bytes go into that script as base64 (PAIVIEW_WASM), handed to the module as
they are: it never fetches them, not even from a data: URL.

The Content-Security-Policy names the page's one running script by its hash, lets
workers come only from Blob URLs and forbids every fetch, so the page proves that it
loads nothing and sends nothing.
"""
import base64
import hashlib
import re
import sys


def main():
    if len(sys.argv) != 10:
        sys.exit(__doc__)
    version, module, wasm, out, template, css, runner, worker, app = sys.argv[1:]
    read = lambda path: open(path, encoding="utf-8").read()
    with open(wasm, "rb") as f:
        wasm_text = base64.b64encode(f.read()).decode("ascii")
    worker_script = "\n".join([f'const PAIVIEW_WASM = "{wasm_text}";'] +
                              [read(path) for path in [module, runner, worker]])
    script = read(app)
    style = read(css)
    # Inline text must not close its own element early.
    if any(re.search(r"</script|<!--", s, re.I) for s in (script, worker_script)) or \
            re.search(r"</style", style, re.I):
        sys.exit("build_page.py: a script or the style would end its element early")
    digest = base64.b64encode(hashlib.sha256(script.encode("utf-8")).digest()).decode()
    # wasm-unsafe-eval: compiling the inlined module. Styles inline: the report's own too,
    # shown in a frame that inherits this policy and runs no script.
    csp = ("default-src 'none'; "
           f"script-src 'sha256-{digest}' 'wasm-unsafe-eval'; worker-src blob:; "
           "style-src 'unsafe-inline'; img-src 'none'; base-uri 'none'; form-action 'none'")
    page = read(template)
    marks = (("@VERSION@", version), ("@CSP@", csp), ("@STYLE@", style), ("@SCRIPT@", script),
             ("@WORKER@", worker_script))
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
