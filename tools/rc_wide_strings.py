#!/usr/bin/env python3
"""Turns a Shift-JIS resource script into a plain-ASCII one for the GNU resource compiler.

    rc_wide_strings.py SOURCE.rc OUTPUT.rc

SOURCE.rc is read as code page 932. Every string literal that holds a non-ASCII
character is written as a wide string, L"...", with each such character as a
\\xNNNN escape of its UTF-16 code (always four digits, the most the compiler
reads). ASCII characters and the simple escapes (\\n, \\r, \\t, \\\\, "") stay as
they are. Everything else is copied unchanged, so line numbers stay the same and
a #line directive points the compiler's messages at SOURCE.rc.

Why: windres decodes Shift-JIS only after it has read the escapes of a string,
byte by byte, so a second byte 0x5C (the backslash code, as in the characters
for "display" and "function") is taken as the start of an escape sequence and
the character is lost or the string ends early. Wide escapes avoid that.
"""

import sys

SOURCE_ENCODING = "cp932"
SIMPLE_ESCAPES = "nrt\\"  # the same character in narrow and wide strings
HEX_DIGITS_PER_ESCAPE = 4


class ScriptError(Exception):
    def __init__(self, line, message):
        super().__init__(f"line {line}: {message}")


def widen(body, line):
    """The body of a narrow string literal (without quotes) as the body of a wide one."""
    out = []
    i = 0
    while i < len(body):
        ch = body[i]
        if ch == "\\":
            escaped = body[i + 1]
            if escaped not in SIMPLE_ESCAPES:
                # \x and octal escapes name bytes in a narrow string but UTF-16 units in a wide one.
                raise ScriptError(line, f"escape \\{escaped} in a Japanese string; write the character itself")
            out.append(body[i : i + 2])
            i += 2
            continue
        if ord(ch) < 0x80:
            out.append(ch)
        else:
            out.append(f"\\x{ord(ch):0{HEX_DIGITS_PER_ESCAPE}X}")
        i += 1
    return "".join(out)


def read_string(text, start, line):
    """Index just past the string literal whose opening quote is at start."""
    i = start + 1
    while True:
        if i >= len(text) or text[i] == "\n":
            raise ScriptError(line, "string not closed on its line")
        if text[i] == "\\":
            if i + 1 >= len(text) or text[i + 1] == "\n":
                raise ScriptError(line, "string not closed on its line")
            i += 2
        elif text[i] == '"':
            if text.startswith('""', i):  # a doubled quote stands for one quote
                i += 2
            else:
                return i + 1
        else:
            i += 1


def ascii_only(text):
    """Comment text with any non-ASCII character replaced: the compiler never reads comments."""
    return "".join(ch if ord(ch) < 0x80 else "?" for ch in text)


def convert(text):
    out = []
    line = 1
    i = 0
    while i < len(text):
        ch = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = len(text) if end < 0 else end
            out.append(ascii_only(text[i:end]))
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            if end < 0:
                raise ScriptError(line, "comment not closed")
            end += 2
            out.append(ascii_only(text[i:end]))
        elif ch == '"':
            end = read_string(text, i, line)
            literal = text[i:end]
            wide_prefix = len(out) > 0 and out[-1] == "L" and not (len(out) > 1 and out[-2].isidentifier())
            if not literal.isascii():
                if wide_prefix:
                    out.pop()
                literal = 'L"' + widen(literal[1:-1], line) + '"'
            out.append(literal)
        else:
            if ord(ch) >= 0x80:
                raise ScriptError(line, f"character {ch!r} outside a string or comment")
            out.append(ch)
            end = i + 1
        line += text.count("\n", i, end)
        i = end
    return "".join(out)


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    source, output = argv[1], argv[2]
    try:
        with open(source, "rb") as f:
            text = f.read().decode(SOURCE_ENCODING)
        converted = convert(text)
    except UnicodeDecodeError as e:
        print(f"{source}: not Shift-JIS at byte {e.start}", file=sys.stderr)
        return 1
    except ScriptError as e:
        print(f"{source}: {e}", file=sys.stderr)
        return 1
    header = f"// Made from {source} by rc_wide_strings.py; edit that file instead.\n"
    line_directive = f'#line 1 "{source}"\n'
    with open(output, "w", encoding="ascii", newline="\n") as f:
        f.write(header + line_directive + converted)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
