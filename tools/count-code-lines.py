#!/usr/bin/env python3
"""Counts the C and C++ lines of the tests against those of the code they test.

A line counts when something other than a comment or blanks is on it. Tests are the files under
tests/; the code is under source/, tools/ and examples/. Prints both counts, the tests as a
percentage of the code and as a share of the sum; with --max PERCENT the exit status is 1 when the
tests are more than PERCENT of the code.
"""
import argparse
import pathlib
import sys

SUFFIXES = {".c", ".cc", ".cpp", ".h", ".hpp"}
TEST_FOLDERS = ["tests"]
CODE_FOLDERS = ["source", "tools", "examples"]


def code_lines(text):
    """Lines holding code once comments are taken out; string and character literals are code."""
    count = 0
    in_block = False
    for line in text.splitlines():
        has_code = False
        quote = None
        i = 0
        while i < len(line):
            pair = line[i:i + 2]
            if in_block:
                if pair == "*/":
                    in_block = False
                    i += 2
                    continue
            elif quote:
                has_code = True
                if line[i] == "\\":
                    i += 1
                elif line[i] == quote:
                    quote = None
            elif pair == "//":
                break
            elif pair == "/*":
                in_block = True
                i += 2
                continue
            elif not line[i].isspace():
                has_code = True
                if line[i] in "\"'" and not (line[i] == "'" and i > 0 and line[i - 1].isalnum()):
                    quote = line[i]  # a ' between digits or letters separates digits (1'000)
            i += 1
        count += has_code
    return count


def folder_lines(root, folders):
    total = 0
    for folder in folders:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix in SUFFIXES and path.is_file() and "build" not in path.relative_to(root).parts:
                total += code_lines(path.read_text(encoding="utf-8", errors="replace"))
    return total


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--root", default=pathlib.Path(__file__).resolve().parent.parent, type=pathlib.Path)
    parser.add_argument("--max", type=float, help="fail when the tests are more than this percentage of the code")
    args = parser.parse_args()
    tests = folder_lines(args.root, TEST_FOLDERS)
    code = folder_lines(args.root, CODE_FOLDERS)
    ratio = 100.0 * tests / max(1, code)
    print("tests %d, code %d: tests are %.1f %% of the code, %.1f %% of the sum"
          % (tests, code, ratio, 100.0 * tests / max(1, tests + code)))
    if args.max is not None and ratio > args.max:
        print("the tests are more than %g %% of the code" % args.max)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
