#!/usr/bin/env python3
"""Tests of tools/rc_wide_strings.py: the Shift-JIS resource script made plain ASCII."""

import os
import subprocess
import sys
import tempfile
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
sys.path.insert(0, TOOLS)

import rc_wide_strings  # noqa: E402

# (name, script text, expected output)
CONVERSIONS = [
    ("ascii strings stay", '1 "KImg-Version"\n', '1 "KImg-Version"\n'),
    ("second byte 0x5C", '1 "表示"\n', '1 L"\\x8868\\x793A"\n'),
    ("escapes stay", '1 "機能\\n\\t\\\\"\n', '1 L"\\x6A5F\\x80FD\\n\\t\\\\"\n'),
    ("doubled quote", '1 "表""x"""\n', '1 L"\\x8868""x"""\n'),
    ("hex digit after a character", '1 "表A0"\n', '1 L"\\x8868A0"\n'),
    ("half-width katakana", '1 "ｷｬﾝｾﾙ"\n', '1 L"\\xFF77\\xFF6C\\xFF9D\\xFF7E\\xFF99"\n'),
    ("wide string keeps one prefix", '1 L"表"\n', '1 L"\\x8868"\n'),
    ("line comment", '// 表 "\n1 "a"\n', '// ? "\n1 "a"\n'),
    ("block comment over lines", '/* "表\n" */ 1 "表"\n', '/* "?\n" */ 1 L"\\x8868"\n'),
    ("include line", '#include "resource_ids.h"\n', '#include "resource_ids.h"\n'),
    ("two strings on a line", '1 "a", "中止"\n', '1 "a", L"\\x4E2D\\x6B62"\n'),
]

# (name, script text, words of the message)
FAILURES = [
    ("byte escape in a Japanese string", '1 "表\\x41"\n', "escape"),
    ("quote escape", '1 "表\\""\n', "escape"),
    ("text outside strings", "表 1\n", "outside"),
    ("string not closed", '1 "表\n"\n', "not closed"),
    ("comment not closed", "/* 表\n", "not closed"),
]


class Conversions(unittest.TestCase):
    def test_conversions(self):
        for name, text, expected in CONVERSIONS:
            with self.subTest(name):
                self.assertEqual(rc_wide_strings.convert(text), expected)

    def test_failures_name_the_line(self):
        for name, text, words in FAILURES:
            with self.subTest(name):
                with self.assertRaises(rc_wide_strings.ScriptError) as raised:
                    rc_wide_strings.convert(text)
                self.assertIn(words, str(raised.exception))
                self.assertIn("line 1", str(raised.exception))


class Command(unittest.TestCase):
    def run_tool(self, source_bytes):
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "in.rc")
            output = os.path.join(folder, "out.rc")
            with open(source, "wb") as f:
                f.write(source_bytes)
            done = subprocess.run([sys.executable, os.path.join(TOOLS, "rc_wide_strings.py"), source, output],
                                  capture_output=True, text=True)
            written = None
            if os.path.exists(output):
                with open(output, "rb") as f:
                    written = f.read()
            return done, written, source

    def test_output_is_ascii_and_points_at_the_source(self):
        done, written, source = self.run_tool('1 "表示"\n2 "b"\n'.encode("cp932"))
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(written.isascii())
        lines = written.decode("ascii").splitlines()
        self.assertEqual(lines[1], f'#line 1 "{source}"')
        self.assertEqual(lines[2:], ['1 L"\\x8868\\x793A"', '2 "b"'])

    def test_not_shift_jis_fails_without_output(self):
        done, written, _ = self.run_tool(b'1 "\x81"\n')
        self.assertEqual(done.returncode, 1)
        self.assertIn("not Shift-JIS", done.stderr)
        self.assertIsNone(written)


if __name__ == "__main__":
    unittest.main()
