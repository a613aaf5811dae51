#!/usr/bin/env python3
"""quennet-cli --regex must list the same files at the same first-match offsets as Python's re
on each whole file, for 1, 2, 3 and 8 threads: random trees (UTF-8 with accents, UTF-16 LE and
BE files with a byte-order mark), patterns from a small grammar (classes, alternations,
repetitions, anchors, case folding, non-ASCII), and big files whose only match lies across a
1 MB chunk border or a 4 MB range border.

With "wine", QUENNET_CLI is quennet-cli.exe, run under Wine (fewer random patterns: each run
starts a Windows process).

usage: regex-agrees-with-python.py QUENNET_CLI [SEED] [wine]"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

CLI = sys.argv[1]
SEED = int(sys.argv[2]) if len(sys.argv) > 2 else 1
WINE = len(sys.argv) > 3 and sys.argv[3] == "wine"
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "wine-run.sh")
THREADS = (1, 2, 3, 8)
MB = 1024 * 1024
CHECKED = []  # rows expected by each pattern: a run that compares nothing proves nothing

WORDS = ["quokka", "Quokka", "needle", "NEEDLE", "école", "École", "über", "Über", "naïve", "año",
         "日本", "data", "Data", "x1", "42", "2026", "foo_bar", "baz", "Straße", "ÉCOLE", "k9", "Kelvin"]


def random_text(rng, words):
    lines = []
    for _ in range(rng.randint(1, 40)):
        lines.append(" ".join(rng.choice(WORDS) for _ in range(rng.randint(0, 12))))
    return "\n".join(lines)[: words * 8] + rng.choice(["", "\n"])


def atom(rng, depth):
    choice = rng.randrange(12)
    if choice < 4:
        word = rng.choice(WORDS)
        return re.escape(word[: rng.randint(1, len(word))]).replace("\\_", "_")
    if choice == 4:
        return rng.choice(["[a-z]", "[A-Z]", "[0-9]", "[aeiou]", "[éÉü]", "[a-zé]"])
    if choice == 5:
        return rng.choice(["\\d", "\\w", "."])
    if choice == 6 and depth < 2:
        return "(" + "|".join(sequence(rng, depth + 1) for _ in range(rng.randint(2, 3))) + ")"
    if choice == 7:
        return "\\b"
    return rng.choice(WORDS[:6])


def quantified(rng, depth):
    a = atom(rng, depth)
    if a == "\\b" or rng.random() < 0.6:
        return a
    return a + rng.choice(["?", "*", "+", "{1,3}", "{2}", "*?", "+?"])


def sequence(rng, depth):
    return "".join(quantified(rng, depth) for _ in range(rng.randint(1, 3)))


def random_pattern(rng):
    p = sequence(rng, 0)
    if rng.random() < 0.2:
        p = "^" + p
    if rng.random() < 0.2:
        p = p + "$"
    return p


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def encode(rng, text):
    kind = rng.randrange(6)
    if kind == 0:
        return b"\xff\xfe" + text.encode("utf-16-le")
    if kind == 1:
        return b"\xfe\xff" + text.encode("utf-16-be")
    return text.encode("utf-8")


def model_offset(data, pattern, case_sensitive):
    """The first match's byte offset in the whole file, or None."""
    flags = re.MULTILINE | (0 if case_sensitive else re.IGNORECASE)
    if data[:2] in (b"\xff\xfe", b"\xfe\xff"):
        codec = "utf-16-le" if data[:2] == b"\xff\xfe" else "utf-16-be"
        text = data[2:].decode(codec)
        m = re.search(pattern, text, flags)
        return None if m is None else 2 + len(text[: m.start()].encode(codec))
    text = data.decode("utf-8")
    m = re.search(pattern, text, flags)
    return None if m is None else len(text[: m.start()].encode("utf-8"))


def cli_rows(root, pattern, case_sensitive, threads):
    args = [CLI, "--columns", "--threads", str(threads), "--regex", pattern]
    if case_sensitive:
        args.append("--case-sensitive")
    if WINE:
        args = ["bash", WINE_RUN] + args
    out = subprocess.run(args + [("Z:" + root.replace("/", "\\")) if WINE else root], capture_output=True,
                         check=False)
    if out.returncode not in (0,):
        return None, out.stderr.decode("utf-8", "replace")
    rows = {}
    for line in out.stdout.decode("utf-8").replace("\r", "").splitlines():
        name, folder, _size, offset = line.split("\t")
        if WINE:
            folder = folder[2:].replace("\\", "/")
        rows[os.path.relpath(os.path.join(folder, name), root)] = int(offset)
    return rows, ""


def expected_rows(root, files, pattern, case_sensitive):
    rows = {}
    for rel in files:
        with open(os.path.join(root, rel), "rb") as f:
            offset = model_offset(f.read(), pattern, case_sensitive)
        if offset is not None:
            rows[rel] = offset
    return rows


def check(root, files, pattern, case_sensitive, label):
    want = expected_rows(root, files, pattern, case_sensitive)
    CHECKED.append(len(want))
    failures = 0
    for threads in THREADS:
        got, error = cli_rows(root, pattern, case_sensitive, threads)
        if got != want:
            failures += 1
            print(f"DIFFERENT: {label} {pattern!r} case_sensitive={case_sensitive} threads={threads} {error}")
            if got is not None:
                for rel in sorted(set(got) | set(want)):
                    if got.get(rel) != want.get(rel):
                        print(f"   {rel}: quennet {got.get(rel)}, python {want.get(rel)}")
    return failures


def random_tree(rng, root):
    files = []
    for i in range(30):
        rel = os.path.join(rng.choice(["", "a", "a/b", "c"]), f"f{i}.txt")
        write(os.path.join(root, rel), encode(rng, random_text(rng, rng.randint(1, 200))))
        files.append(rel)
    return files


def planted_tree(root):
    """Big files of filler that nothing matches, each with one match across a border."""
    filler = ("lorem ipsum dolor sit amet consectetur\n" * (MB // 16))
    cases = [
        ("chunk.txt", MB - 3, "Quokka_abc_Needle", "utf-8"),
        ("range.txt", 4 * MB - 5, "Quokka_abc_Needle", "utf-8"),
        ("late.txt", 8 * MB - 2, "Quokka_abc_Needle", "utf-8"),
        ("year.txt", 4 * MB - 4, "Quennet 2026", "utf-8"),
        ("wide.txt", 4 * MB - 6, "Quokka_abc_Needle", "utf-16-le"),
        ("wide-be.txt", MB - 4, "Quennet 2026", "utf-16-be"),
    ]
    files = []
    for name, at, plant, codec in cases:
        size = 9 * MB
        if codec == "utf-8":
            body = bytearray((filler * (size // len(filler) + 1))[:size].encode())
            body[at: at + len(plant)] = plant.encode()
        else:
            bom = b"\xff\xfe" if codec == "utf-16-le" else b"\xfe\xff"
            units = (size - 2) // 2
            body = bytearray(bom + (filler * (units // len(filler) + 1))[:units].encode(codec))
            body[at: at + 2 * len(plant)] = plant.encode(codec)
        write(os.path.join(root, name), bytes(body))
        files.append(name)
    return files


def refusals(work):
    """A pattern that does not compile starts nothing (status 2, the library's message and
    position), as does one that would answer differently from each place a file is searched from;
    one that takes too many steps gives its file up and names it (status 1)."""
    failures = 0
    root = os.path.join(work, "refused")
    write(os.path.join(root, "runs.txt"), b"a" * 5000 + b"!\n")
    write(os.path.join(root, "fine.txt"), b"aaa\n")
    for threads in THREADS:
        args = [CLI, "--threads", str(threads), "--regex"]
        if WINE:
            args = ["bash", WINE_RUN] + args
        where = ("Z:" + root.replace("/", "\\")) if WINE else root
        bad = subprocess.run(args + ["a(b", where], capture_output=True)
        message = "--regex: Invalid regular expression at position 4: missing closing parenthesis"
        if bad.returncode != 2 or bad.stdout or message not in bad.stderr.decode("utf-8", "replace"):
            failures += 1
            print(f"DIFFERENT: bad pattern, threads={threads}: status {bad.returncode}, {bad.stderr!r}")
        for pattern, construct in [("\\Gb", "\\G"), ("aa+(*COMMIT)b", "(*COMMIT)")]:
            refused = subprocess.run(args + [pattern, where], capture_output=True)
            if refused.returncode != 2 or refused.stdout or \
                    construct + " is not supported" not in refused.stderr.decode("utf-8", "replace"):
                failures += 1
                print(f"DIFFERENT: {pattern!r}, threads={threads}: status {refused.returncode}, {refused.stderr!r}")
        # Back-references compare whole groups, work the match limit does not see: bounded too.
        for pattern in ["(a+)+$", "(a+)\\1+$"]:
            try:
                slow = subprocess.run(args + [pattern, where], capture_output=True, timeout=120)
            except subprocess.TimeoutExpired:
                failures += 1
                print(f"DIFFERENT: {pattern!r}, threads={threads}: timed out")
                continue
            err = slow.stderr.decode("utf-8", "replace")
            listed = slow.stdout.decode("utf-8").replace("\r", "").split()
            if slow.returncode != 1 or "runs.txt" not in err or "match limit" not in err or len(listed) != 1 \
                    or not listed[0].endswith("fine.txt"):
                failures += 1
                print(f"DIFFERENT: {pattern!r} match limit, threads={threads}: status {slow.returncode}, {listed}, "
                      f"{err!r}")
    return failures


def run_cli(root, pattern, threads, timeout=120):
    args = [CLI, "--columns", "--threads", str(threads), "--regex", pattern]
    if WINE:
        args = ["bash", WINE_RUN] + args
    where = ("Z:" + root.replace("/", "\\")) if WINE else root
    try:
        return subprocess.run(args + [where], capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def long_lines(work):
    """A match cut where the search of its block ends is that match, not one retried further on,
    and an empty match at the file's end is found: every thread count agrees with the whole file."""
    failures = 0
    root = os.path.join(work, "long")
    write(os.path.join(root, "xline.txt"), b"x" * 1060000 + b"\n")
    write(os.path.join(root, "tail.txt"), b"abc\ndef")
    files = ["xline.txt", "tail.txt"]
    for pattern in ["x*", "\\w+", "(?<=f)$"]:
        failures += check(root, files, pattern, True, "long lines")
    return failures


def given_up_in_range_order(work):
    """A file is decided in order: a part given up before the first match leaves the file not
    read, for every thread count; one given up after it does not matter."""
    failures = 0
    cases = [
        ("early-limit", [(2 * MB + 100, b"a" * 39 + b"b\n"), (3 * MB, b"\naaa\n"), (9 * MB, b"\naaa\n")], None),
        ("late-limit", [(7 * MB, b"\naaa\n"), (8 * MB + 100, b"a" * 39 + b"b\n")], 7 * MB + 1),
    ]
    for name, plants, offset in cases:
        root = os.path.join(work, name)
        body = bytearray(b"q" * (10 * MB))
        for at, plant in plants:
            body[at: at + len(plant)] = plant
        write(os.path.join(root, "big.txt"), bytes(body))
        for threads in THREADS:
            out = run_cli(root, "(a+)+$", threads)
            rows = [] if out is None else out.stdout.decode().replace("\r", "").splitlines()
            if offset is None:
                fine = out is not None and out.returncode == 1 and not rows and b"big.txt" in out.stderr
            else:
                fine = out is not None and out.returncode == 0 and len(rows) == 1 and \
                    rows[0].split("\t")[3] == str(offset)
            if not fine:
                failures += 1
                print(f"DIFFERENT: {name}, threads={threads}: "
                      f"{'timed out' if out is None else (out.returncode, rows, out.stderr)}")
    return failures


def main():
    rng = random.Random(SEED)
    failures = 0
    work = tempfile.mkdtemp(prefix="quennet-regex-")
    try:
        failures += refusals(work)
        failures += long_lines(work)
        failures += given_up_in_range_order(work)
        tree = os.path.join(work, "tree")
        files = random_tree(rng, tree)
        for _ in range(10 if WINE else 40):
            pattern = random_pattern(rng)
            try:
                re.compile(pattern)
            except re.error:
                continue
            failures += check(tree, files, pattern, rng.random() < 0.5, "tree")
        big = os.path.join(work, "big")
        files = planted_tree(big)
        for pattern in ["Quokka_\\w+_Needle", "[A-Z][a-z]+ [0-9]{4}", "quokka_abc", "Q[a-z]+_\\w{3}_N.*e\\b"]:
            failures += check(big, files, pattern, pattern != "quokka_abc", "big files")
    finally:
        shutil.rmtree(work)
    print(f"{len(CHECKED)} patterns, {sum(CHECKED)} rows expected, {sum(1 for n in CHECKED if n)} patterns "
          f"with rows; failures: {failures}")
    if sum(1 for n in CHECKED if n) < len(CHECKED) // 3:
        print("too few patterns found anything")
        failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
