#!/usr/bin/env python3
"""Rewrite a UTF-8 C++ source so that its string literals hold CP932 byte escapes.

Used for compilers without -fexec-charset=CP932 (clang). Each non-ASCII character
inside a string literal becomes its CP932 bytes as \\x escapes, closed with "" so
that a following hex digit is not taken into the escape. A #line directive keeps
diagnostics pointing at the original file.
"""
import sys


def is_digit_separator(text: str, i: int) -> bool:
    """A quote inside a number token (C++14 1'000), which starts with a digit."""
    k = i
    while k > 0 and (text[k - 1].isalnum() or text[k - 1] in "_.'"):
        k -= 1
    return k < i and text[k].isdigit()


def convert(text: str) -> str:
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c == '/' and text.startswith('//', i):
            j = text.find('\n', i)
            j = n if j < 0 else j
            out.append(text[i:j])
            i = j
        elif c == '/' and text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append(text[i:j])
            i = j
        elif c == "'" and is_digit_separator(text, i):
            out.append(c)  # 10'000: inside a number, not a character literal
            i += 1
        elif c == "'":
            j = i + 1
            while j < n and text[j] != "'":
                j += 2 if text[j] == '\\' else 1
            out.append(text[i:j + 1])
            i = j + 1
        elif c == '"':
            j = i + 1
            lit = ['"']
            while j < n and text[j] != '"':
                if text[j] == '\\':
                    lit.append(text[j:j + 2])
                    j += 2
                elif ord(text[j]) < 128:
                    lit.append(text[j])
                    j += 1
                else:
                    lit.append(''.join('\\x%02x' % b for b in text[j].encode('cp932')))
                    lit.append('""')
                    j += 1
            lit.append('"')
            out.append(''.join(lit))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return ''.join(out)


def main() -> None:
    src, dst = sys.argv[1], sys.argv[2]
    with open(src, encoding='utf-8') as f:
        text = f.read()
    import os
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    # Comments may hold Japanese; they pass through as UTF-8, which clang reads.
    with open(dst, 'w', encoding='utf-8') as f:
        f.write('#line 1 "%s"\n' % src.replace('\\', '/'))
        f.write(convert(text))


if __name__ == '__main__':
    main()
