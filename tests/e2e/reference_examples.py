#!/usr/bin/env python3
"""Runs every example of the user's reference and compares what it prints.

An example is a fenced block marked `console`. In it, a line beginning "$ " is
a command (a command line ending in " \\" goes on on the next line, as in the
shell); the lines after it, up to the next command or the end of the block,
are what the command must print, standard output and standard error together.
Trailing white space of each line and blank lines at the end of an output are
not compared.

All commands of the document run in document order, with bash, in one scratch
folder that starts as a copy of examples/data/ and examples/small/, with the
build's bin folder first on PATH, TEMP and HOME set to folders inside the
scratch folder, so that a later example sees the files an earlier one made.

usage: reference_examples.py --doc docs/reference.md --bin build/bin --source .
"""

import argparse
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^(`{3,})\s*(\S*)")
TIMEOUT_SECONDS = 120


def examples(lines):
    """(line number, command, expected output lines) for every command."""
    found = []
    in_block = False
    fence = ""
    is_console = False
    current = None
    i = 0
    while i < len(lines):
        line = lines[i]
        match = FENCE.match(line)
        if not in_block and match:
            in_block, fence, is_console = True, match.group(1), match.group(2) == "console"
            i += 1
            continue
        if in_block and line.startswith(fence) and line.strip() == fence:
            in_block = False
            if current:
                found.append(current)
                current = None
            i += 1
            continue
        if in_block and is_console:
            if line.startswith("$ "):
                if current:
                    found.append(current)
                number = i + 1
                command = line[2:]
                while command.endswith("\\") and i + 1 < len(lines):
                    i += 1
                    command = command + "\n" + lines[i]
                current = (number, command, [])
            elif current is not None:
                current[2].append(line)
            else:
                found.append((i + 1, None, [line]))
        i += 1
    if in_block:
        raise SystemExit("reference: a fenced block is not closed")
    return found


def normalised(lines):
    out = [line.rstrip() for line in lines]
    while out and out[-1] == "":
        out.pop()
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--doc", required=True)
    parser.add_argument("--bin", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    args = parser.parse_args()

    with open(args.doc, encoding="utf-8") as f:
        lines = f.read().split("\n")
    commands = examples(lines)
    if not commands:
        print(f"{args.doc}: no console examples")
        return 1

    scratch = tempfile.mkdtemp(prefix="vog-reference-")
    for folder in ("examples/data", "examples/small"):
        source = os.path.join(args.source, folder)
        if os.path.isdir(source):
            for name in sorted(os.listdir(source)):
                path = os.path.join(source, name)
                if os.path.isfile(path):
                    shutil.copy(path, scratch)
    os.makedirs(os.path.join(scratch, "tmp"))
    os.makedirs(os.path.join(scratch, "home"))
    env = dict(os.environ)
    env["PATH"] = os.path.abspath(args.bin) + os.pathsep + env.get("PATH", "")
    env["TEMP"] = os.path.join(scratch, "tmp")
    env["HOME"] = os.path.join(scratch, "home")
    env["LC_ALL"] = "C.UTF-8"
    for name in ("PELMIX_REGISTRY", "PELMIX_ANSWER", "DISPLAY"):
        env.pop(name, None)

    failures = 0
    for number, command, expected in commands:
        if command is None:
            print(f"{args.doc}:{number}: a console block must begin with a command")
            failures += 1
            continue
        try:
            run = subprocess.run(["bash", "-c", command], cwd=scratch, env=env,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, timeout=TIMEOUT_SECONDS)
            printed = run.stdout.decode("utf-8", errors="replace").split("\n")
        except subprocess.TimeoutExpired:
            printed = [f"(no end after {TIMEOUT_SECONDS} s)"]
        want, got = normalised(expected), normalised(printed)
        if want != got:
            failures += 1
            print(f"{args.doc}:{number}: the output of `{command}` differs:")
            for diff in difflib.unified_diff(want, got, "reference", "printed", lineterm=""):
                print("    " + diff)
    print(f"{len(commands)} examples, {failures} differ")
    if args.keep or failures:
        print(f"scratch folder: {scratch}")
    if not args.keep and not failures:
        shutil.rmtree(scratch, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
