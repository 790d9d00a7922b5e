#!/usr/bin/env python3
"""Write the players' zip and its SHA256SUMS (scripts/dist.sh runs it).

Usage: dist.py --version V --epoch SECONDS --out DIR Paiview.exe paiview-cli.exe paiview.html

readme.txt is README.ja.md made plain text for Windows (CP932, CR LF) with the version
filled in, LICENSE.txt is LICENSE. Entries go in a fixed order with the time of
SECONDS and fixed modes, so the same inputs give the same zip byte for byte.
"""
import argparse
import hashlib
import pathlib
import re
import sys
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[1]


def inline(text):
    """Markdown's inline marks as plain text: links keep their words (and a web address)."""
    text = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", text)
    text = re.sub(r"\[([^\]]+)\]\((https?://[^)]+)\)", r"\1（\2）", text)
    text = re.sub(r"\[([^\]]+)\]\([^)]*\)", r"\1", text)
    text = text.replace("**", "").replace("`", "")
    return re.sub(r"<!--.*?-->", "", text)


def readme_text(markdown, version):
    """readme.txt from README.ja.md: headings as 【 】 and ◆, images and markup left out."""
    lines = []
    code = False
    for line in markdown.splitlines():
        if line.startswith("![") or "<!-- md -->" in line:
            continue
        if line.startswith("```"):
            code = not code
            continue
        if code:
            lines.append("  " + line)
            continue
        if re.match(r"- 版: ", line):
            line = f"- 版: {version}"
        if line.startswith("# "):
            line = inline(line[2:])
        elif line.startswith("## "):
            line = f"【{inline(line[3:])}】"
        elif line.startswith("### "):
            line = f"◆ {inline(line[4:])}"
        else:
            line = inline(line).rstrip()
        if line or (lines and lines[-1]):
            lines.append(line)
    while lines and not lines[-1]:
        lines.pop()
    return "\r\n".join(lines) + "\r\n"


def entry(name, epoch, mode):
    stamp = time.gmtime(max(epoch, 315532800))[:6]  # a zip's clock starts in 1980
    info = zipfile.ZipInfo(name, date_time=stamp)
    info.create_system = 3
    info.external_attr = mode << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--epoch", type=int, required=True)
    parser.add_argument("--out", type=pathlib.Path, required=True)
    parser.add_argument("viewer", type=pathlib.Path)
    parser.add_argument("cli", type=pathlib.Path)
    parser.add_argument("page", type=pathlib.Path)
    args = parser.parse_args()
    if not re.fullmatch(r"[0-9]+(\.[0-9]+){1,3}", args.version):
        sys.exit(f"dist.py: '{args.version}' is not a version")

    readme = readme_text((ROOT / "README.ja.md").read_text(encoding="utf-8"), args.version)
    licence = (ROOT / "LICENSE").read_text(encoding="utf-8").replace("\n", "\r\n")
    folder = f"paiview-{args.version}/"
    files = [("Paiview.exe", args.viewer.read_bytes(), 0o100755),
             ("paiview-cli.exe", args.cli.read_bytes(), 0o100755),
             ("paiview.html", args.page.read_bytes(), 0o100644),
             ("readme.txt", readme.encode("cp932"), 0o100644),
             ("LICENSE.txt", licence.encode("ascii"), 0o100644)]

    args.out.mkdir(parents=True, exist_ok=True)
    zip_path = args.out / f"paiview-{args.version}-windows.zip"
    partial = zip_path.with_suffix(".zip.part")
    with zipfile.ZipFile(partial, "w") as z:
        directory = entry(folder, args.epoch, 0o40755)
        directory.compress_type = zipfile.ZIP_STORED
        directory.external_attr |= 0x10  # MS-DOS's directory flag
        z.writestr(directory, b"")
        for name, data, mode in files:
            z.writestr(entry(folder + name, args.epoch, mode), data, compresslevel=9)
    partial.replace(zip_path)
    digest = hashlib.sha256(zip_path.read_bytes()).hexdigest()
    (args.out / "SHA256SUMS").write_text(f"{digest}  {zip_path.name}\n", encoding="ascii")
    for name, data, _ in files:
        print(f"{len(data):>10}  {folder}{name}")
    print(f"dist: {zip_path} ({zip_path.stat().st_size} bytes), sha256 {digest}")


if __name__ == "__main__":
    main()
