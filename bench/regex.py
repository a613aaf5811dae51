#!/usr/bin/env python3
"""Times quennet-cli --regex against its own literal search and against ripgrep (-j2), on the
corpora of compare.py (the 40k small files and the 1 GB file, made there when missing):

- a pattern with a required literal ("quennetrare\\w+"), against --text of that literal and
  against rg -j2 with the same pattern;
- a pattern with no required literal ("[A-Z][a-z]+ [0-9]{4}", which the text never holds, so
  the whole file is read) on the 1 GB file, against rg -j2;
- with --before, the literal Text and HEX searches of this build against another build.

Commands of a row run alternately so that both see the same machine state; medians of wall
time, ratio = quennet / peer. The load average is printed: the machine may be shared.

usage: regex.py --cli build/native/cli/quennet-cli [--before OTHER-CLI] [--dir DIR] [--rounds N]
"""
import argparse
import os
import shutil
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare  # noqa: E402  (corpora and timing of the other benchmarks)

LITERAL = "quennetrare"
WITH_LITERAL = LITERAL + "\\w+"
NO_LITERAL = "[A-Z][a-z]+ [0-9]{4}"


def table(rows, rounds):
    print("| case | quennet-cli (s) | peer | peer (s) | ratio | goal |")
    print("|---|---:|---|---:|---:|---:|")
    for name, ours, peers in rows:
        for cmd in [ours] + [p[1] for p in peers]:
            compare.run(cmd)  # warm caches
        mine, others = [], {label: [] for label, _, _ in peers}
        for _ in range(rounds):
            mine.append(compare.run(ours))
            for label, cmd, _ in peers:
                others[label].append(compare.run(cmd))
        wall = statistics.median(mine)
        for label, _, goal in peers:
            peer = statistics.median(others[label])
            ratio = wall / peer
            verdict = "" if goal is None else (
                "<= %.2f ok" % goal if ratio <= goal else "<= %.2f MISSED by %.0f%%" % (goal, 100 * (ratio / goal - 1)))
            print("| %s | %.3f | %s | %.3f | %.2f | %s |" % (name, wall, label, peer, ratio, verdict))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--before", help="another quennet-cli, for the literal searches")
    ap.add_argument("--dir", default=os.path.join(tempfile.gettempdir(), "quennet-bench"))
    ap.add_argument("--rounds", type=int, default=5)
    ap.add_argument("--literal-only", action="store_true", help="with --before: only the literal rows")
    args = ap.parse_args()
    small, gb = os.path.join(args.dir, "small"), os.path.join(args.dir, "gb")
    compare.make_corpora(((small, compare.make_small_files), (gb, compare.make_one_gb)))
    q = args.cli
    rg = shutil.which("rg")
    print("load average before: %.2f %.2f %.2f" % os.getloadavg())
    rows = []
    for label, folder in () if args.literal_only else (("40k small files", small), ("1 GB file", gb)):
        rows.append(("%s, %s" % (label, WITH_LITERAL), [q, "--case-sensitive", "--regex", WITH_LITERAL, folder],
                     [("--text " + LITERAL, [q, "--case-sensitive", "--text", LITERAL, folder], 1.2)]
                     + ([("rg -j2", [rg, "-j2", "-l", "-uuu", WITH_LITERAL, folder], 1.0)] if rg else [])))
        rows.append(("%s, %s folded" % (label, WITH_LITERAL), [q, "--regex", WITH_LITERAL, folder],
                     [("--text " + LITERAL + " folded", [q, "--text", LITERAL, folder], 1.2)]
                     + ([("rg -j2 -i", [rg, "-j2", "-i", "-l", "-uuu", WITH_LITERAL, folder], 1.0)] if rg else [])))
    if rg and not args.literal_only:
        rows.append(("1 GB file, " + NO_LITERAL, [q, "--case-sensitive", "--regex", NO_LITERAL, gb],
                     [("rg -j2", [rg, "-j2", "-l", "-uuu", NO_LITERAL, gb], 1.0)]))
    if args.before:
        hex_literal = compare.RARE.encode().hex()
        for label, folder in (("40k small files", small), ("1 GB file", gb)):
            for kind, flags in (("Text", ["--case-sensitive", "--text", compare.RARE]),
                                ("Text folded", ["--text", compare.RARE]), ("HEX", ["--hex", hex_literal])):
                rows.append(("%s, %s, this build" % (label, kind), [q] + flags + [folder],
                             [("build before", [args.before] + flags + [folder], 1.03)]))
    table(rows, args.rounds)
    print("load average after: %.2f %.2f %.2f" % os.getloadavg())


if __name__ == "__main__":
    main()
