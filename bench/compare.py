#!/usr/bin/env python3
"""Times quennet-cli against grep, ripgrep, find and cat on generated corpora.

Corpora are made in a temporary folder (kept between runs with --keep), caches are warmed,
and each pair of commands runs alternately so both see the same machine state. Prints one
table of median times and ratios (quennet / peer); lower is better for quennet.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

RARE = "quennetrarephrase"
WORDS = ("the of and to in is that for it as with was on be by this are from at or an have not "
         "which but all were when we there can more if no out so said what up its about into than "
         "them only other new some could time these two may then do first any my now such like our "
         "over man me even most made after also did many before must through back years where much "
         "your way well down should because each just those people how too little state good very "
         "make world still own see men work long get here between both life being under never day "
         "same another know while last might us great old year off come since against go came right "
         "used take three Search File Buffer Phrase Offset Worker Folder Thread Content Scanner").split()


def text_pool(size, seed):
    rng = random.Random(seed)
    parts, total = [], 0
    while total < size:
        line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(4, 14))) + "\n"
        parts.append(line)
        total += len(line)
    return "".join(parts).encode()[:size]


def make_small_files(root, count=40000, per_folder=200, avg=7500):
    pool = text_pool(4 << 20, 1)
    rng = random.Random(2)
    hits = set(rng.sample(range(count), 12))
    for i in range(count):
        folder = os.path.join(root, "d%03d" % (i // per_folder))
        if i % per_folder == 0:
            os.makedirs(folder, exist_ok=True)
        size = rng.randint(avg // 4, avg * 7 // 4)
        start = rng.randint(0, len(pool) - size - 1)
        data = bytearray(pool[start:start + size])
        if i in hits:
            at = rng.randint(0, len(data) - len(RARE))
            word = RARE if i % 2 else RARE.upper()
            data[at:at + len(RARE)] = word.encode()
        with open(os.path.join(folder, "f%05d.txt" % i), "wb") as f:
            f.write(data)


def make_deep_tree(root, top=20, middle=20, leaves=100, avg=10000):
    """One file of about 10 KB in each of 40,000 folders four levels down: the shape of source
    trees and home folders, where a batch that leaves at a folder's end holds one file."""
    pool = text_pool(4 << 20, 6)
    rng = random.Random(7)
    count = top * middle * leaves
    hits = set(rng.sample(range(count), 12))
    i = 0
    for a in range(top):
        for b in range(middle):
            for c in range(leaves):
                folder = os.path.join(root, "a%02d" % a, "b%02d" % b, "c%03d" % c)
                os.makedirs(folder)
                size = rng.randint(avg // 2, avg * 3 // 2)
                start = rng.randint(0, len(pool) - size - 1)
                data = bytearray(pool[start:start + size])
                if i in hits:
                    at = rng.randint(0, len(data) - len(RARE))
                    data[at:at + len(RARE)] = RARE.encode()
                with open(os.path.join(folder, "f.txt"), "wb") as f:
                    f.write(data)
                i += 1


def make_big_files(root, size=256 << 20):
    pool = text_pool(8 << 20, 3)
    os.makedirs(root, exist_ok=True)
    for n in (1, 2):
        with open(os.path.join(root, "big%d.txt" % n), "wb") as f:
            written = 0
            while written < size:
                chunk = pool[: min(len(pool), size - written)]
                f.write(chunk)
                written += len(chunk)
            if n == 2:  # the only occurrence, at the very end: both files are read whole
                f.seek(size - len(RARE) - 1)
                f.write(RARE.encode())


def make_names(root, count=200000, per_folder=500):
    rng = random.Random(4)
    for i in range(count):
        folder = os.path.join(root, "n%04d" % (i // per_folder))
        if i % per_folder == 0:
            os.makedirs(folder, exist_ok=True)
        tag = "frag" if rng.random() < 0.01 else "file"
        open(os.path.join(folder, "%s%06d.dat" % (tag, i)), "wb").close()


def make_skip_tree(root, count=100000, per_folder=500):
    """Names only: 10% of the files in keep/, 90% in bulk/, the folder a search skips."""
    rng = random.Random(5)
    for i in range(count):
        part = "keep" if i % 10 == 0 else "bulk"
        folder = os.path.join(root, part, "s%04d" % (i // per_folder))
        if i % per_folder == 0 or not os.path.isdir(folder):
            os.makedirs(folder, exist_ok=True)
        tag = "frag" if rng.random() < 0.01 else "file"
        open(os.path.join(folder, "%s%06d.dat" % (tag, i)), "wb").close()


def run(cmd):
    return run_cpu(cmd)[0]


def run_cpu(cmd):
    """Wall time and CPU time (user + system, children included) of one run."""
    before = os.times()
    start = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, shell=isinstance(cmd, str))
    wall = time.perf_counter() - start
    after = os.times()
    return wall, (after.children_user - before.children_user) + (after.children_system - before.children_system)


def make_one_gb(root, size=1 << 30):
    pool = text_pool(8 << 20, 5)
    os.makedirs(root, exist_ok=True)
    with open(os.path.join(root, "big.txt"), "wb") as f:
        written = 0
        while written < size:
            chunk = pool[: min(len(pool), size - written)]
            f.write(chunk)
            written += len(chunk)
        f.seek(size - len(RARE) - 1)
        f.write(RARE.encode())


def parallel_table(q, small, gb, names, deep, rounds):
    """The default pool (one thread per processor) against the peers' best settings; CPU time
    beside wall time. A goal is on wall time, or on CPU time where it says "CPU"."""
    pool = []
    big = os.path.join(gb, "big.txt")
    half = (1 << 30) // 2
    two_cats = ("dd if=%s bs=1M count=%d status=none of=/dev/null & "
                "dd if=%s bs=1M skip=%d status=none of=/dev/null; wait") % (big, half >> 20, big, half >> 20)
    fd = shutil.which("fdfind") or shutil.which("fd")
    cases = [
        ("40k small files, phrase", [q, *pool, "--case-sensitive", "--text", RARE, small],
         [("rg -j2", ["rg", "-j2", "-l", "-F", "-uuu", RARE, small], 1.0),
          ("rg -j1", ["rg", "-j1", "-l", "-F", "-uuu", RARE, small], 0.55),
          ("quennet-cli --threads 1", [q, "--threads", "1", "--case-sensitive", "--text", RARE, small], None)]),
        ("40k small files, folded", [q, *pool, "--text", RARE, small],
         [("rg -j2 -i", ["rg", "-j2", "-l", "-F", "-i", "-uuu", RARE, small], 1.0),
          ("rg -j1 -i", ["rg", "-j1", "-l", "-F", "-i", "-uuu", RARE, small], 0.55)]),
        ("1 GB file, phrase at the end", [q, *pool, "--case-sensitive", "--text", RARE, gb],
         [("cat", ["cat", big], 0.75), ("two dd halves side by side", two_cats, None),
          ("rg -j2", ["rg", "-j2", "-l", "-F", "-uuu", RARE, gb], None),
          ("quennet-cli --threads 1", [q, "--threads", "1", "--case-sensitive", "--text", RARE, gb], None)]),
        ("1 GB file, folded", [q, *pool, "--text", RARE, gb],
         [("cat", ["cat", big], 0.75), ("rg -j2 -i", ["rg", "-j2", "-l", "-F", "-i", "-uuu", RARE, gb], None)]),
        ("deep tree, one file a folder", [q, *pool, "--case-sensitive", "--text", RARE, deep],
         [("quennet-cli --threads 1", [q, "--threads", "1", "--case-sensitive", "--text", RARE, deep], 0.9),
          ("quennet-cli --threads 1, CPU", [q, "--threads", "1", "--case-sensitive", "--text", RARE, deep], "cpu 1.15"),
          ("rg -j2", ["rg", "-j2", "-l", "-F", "-uuu", RARE, deep], 1.0),
          ("rg -j1", ["rg", "-j1", "-l", "-F", "-uuu", RARE, deep], 0.75)]),
        ("mixed real tree (/usr/share, /usr/include)", [q, *pool, "--text", RARE, "/usr/share", "/usr/include"],
         [("quennet-cli --threads 1", [q, "--threads", "1", "--text", RARE, "/usr/share", "/usr/include"], 0.8)]),
        ("200k names", [q, "--name", "frag", names],
         [("find -iname", ["find", names, "-iname", "*frag*"], 0.8)]
         + ([("fd -j2", [fd, "-u", "-j2", "frag", names], None)] if fd else [])),
    ]
    # Wall times depend on what else runs: the load average goes with the table.
    print("load average at the start: %.2f %.2f %.2f" % os.getloadavg())
    print("| case | quennet-cli (s) | CPU (s) | peer | peer (s) | peer CPU (s) | ratio | goal |")
    print("|---|---:|---:|---|---:|---:|---:|---:|")
    for name, ours, peers in cases:
        for cmd in [ours] + [p[1] for p in peers]:
            run(cmd)  # warm caches
        mine, others = [], {label: [] for label, _, _ in peers}
        for _ in range(rounds):
            mine.append(run_cpu(ours))
            for label, cmd, _ in peers:
                others[label].append(run_cpu(cmd))
        wall = statistics.median(t for t, _ in mine)
        cpu = statistics.median(c for _, c in mine)
        for label, _, goal in peers:
            pwall = statistics.median(t for t, _ in others[label])
            pcpu = statistics.median(c for _, c in others[label])
            ratio = wall / pwall
            if isinstance(goal, str):  # "cpu N": the goal is on CPU time
                ratio, goal = cpu / pcpu, float(goal.split()[1])
            verdict = "" if goal is None else (
                "<= %.2f ok" % goal if ratio <= goal else "<= %.2f MISSED by %.0f%%" % (goal, 100 * (ratio / goal - 1)))
            print("| %s | %.3f | %.3f | %s | %.3f | %.3f | %.2f | %s |"
                  % (name, wall, cpu, label, pwall, pcpu, ratio, verdict))
    print("load average at the end: %.2f %.2f %.2f" % os.getloadavg())
    for label, cmd in (("40k small files", [q, "--text", RARE, small]), ("1 GB file", [q, "--text", RARE, gb])):
        rss = peak_rss_mb(cmd)
        print("| peak RSS, %s, 25 MB buffer | %.1f MB | | | | | | <= 64 MB %s |"
              % (label, rss, "ok" if rss <= 64 else "MISSED"))


def peak_rss_mb(cmd):
    out = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True).stderr.strip().splitlines()
    return int(out[-1]) / 1024.0


def compare(name, ours, peers, rounds, goal):
    """ours: command; peers: {label: command}. Returns a table row."""
    for cmd in [ours] + list(peers.values()):
        run(cmd)  # warm caches
    times = {label: [] for label in peers}
    mine = []
    for _ in range(rounds):
        mine.append(run(ours))
        for label, cmd in peers.items():
            times[label].append(run(cmd))
    ours_median = statistics.median(mine)
    best_label = min(times, key=lambda k: statistics.median(times[k]))
    best = statistics.median(times[best_label])
    ratio = ours_median / best
    return (name, ours_median, best_label, best, ratio, goal)


def compare_builds(after, before, small, gb, rounds):
    """The small files (no UTF-16 among them) with two builds, alternately: after / before.
    With the 1 GB file too: every small file matching ("the" is in each of them, so each row
    carries its line) and the 1 GB file's one match at its end."""
    print("| case | after (s) | before (s) | after / before | goal |")
    print("|---|---:|---:|---:|---:|")
    cases = [("40k small files, phrase", ["--case-sensitive", "--text", RARE], small, 1.03),
             ("40k small files, folded", ["--text", RARE], small, 1.03)]
    if gb:
        cases += [("40k small files, every file matching", ["--case-sensitive", "--text", "the"], small, 1.02),
                  ("1 GB file, phrase at the end", ["--case-sensitive", "--text", RARE], gb, 1.02)]
    for name, flags, corpus, limit in cases:
        row = compare(name, [after] + flags + [corpus], {"before": [before] + flags + [corpus]}, rounds, limit)
        _, ours, _, best, ratio, goal = row
        print("| %s | %.4f | %.4f | %.3f | <= %.2f %s |"
              % (name, ours, best, ratio, goal, "ok" if ratio <= goal else "MISSED"))


def filters_table(after, before, small, names, skip, rounds):
    """Filters: free when unused (this build against the one before them), skipping a folder
    that holds 90% of the files, and a date bound on the names."""
    print("load average before: %.2f %.2f %.2f" % os.getloadavg())
    print("| case | measured (s) | against | against (s) | ratio | goal |")
    print("|---|---:|---|---:|---:|---:|")
    rows = [
        compare("40k small files, folded, no filters", [after, "--text", RARE, small],
                {"build before": [before, "--text", RARE, small]}, rounds, 1.03),
        compare("200k names, no filters", [after, "--name", "frag", names],
                {"build before": [before, "--name", "frag", names]}, rounds, 1.03),
        compare("100k names, --skip-dir on the 90% folder", [after, "--name", "frag", "--skip-dir", "bulk", skip],
                {"unfiltered": [after, "--name", "frag", skip]}, rounds, 0.2),
        compare("200k names, --changed-within 7d", [after, "--name", "frag", "--changed-within", "7d", names],
                {"names only": [after, "--name", "frag", names]}, rounds, 1.1),
    ]
    for name, ours, label, best, ratio, goal in rows:
        print("| %s | %.4f | %s | %.4f | %.3f | <= %.2f %s |"
              % (name, ours, label, best, ratio, goal, "ok" if ratio <= goal else "MISSED"))
    print("load average after: %.2f %.2f %.2f" % os.getloadavg())


def make_corpora(corpora):
    """Makes each (path, maker) corpus that is missing; a half-made one is never taken for whole."""
    for path, maker in corpora:
        if not os.path.isdir(path):
            print("generating", path, file=sys.stderr)
            tmp = path + ".tmp"
            shutil.rmtree(tmp, ignore_errors=True)
            os.makedirs(tmp)
            maker(tmp)
            os.rename(tmp, path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True, help="path to the native quennet-cli")
    ap.add_argument("--dir", default=os.path.join(tempfile.gettempdir(), "quennet-bench"))
    ap.add_argument("--rounds", type=int, default=5)
    ap.add_argument("--keep", action="store_true", help="keep the corpora for the next run")
    ap.add_argument("--before", help="another quennet-cli: only the small files, this one against it")
    ap.add_argument("--filters", action="store_true",
                    help="with --before: the filters' costs (unused, a skipped folder, a date bound)")
    ap.add_argument("--with-gb", action="store_true",
                    help="with --before: every small file matching and the 1 GB file too")
    ap.add_argument("--parallel", action="store_true",
                    help="the default pool against the peers' best settings (adds a 1 GB file)")
    args = ap.parse_args()

    small, big, names, gb, deep, skip = (os.path.join(args.dir, d)
                                         for d in ("small", "big", "names", "gb", "deep", "skip"))
    corpora = [(small, make_small_files), (big, make_big_files), (names, make_names)]
    if args.filters:
        if not args.before:
            ap.error("--filters needs --before")
        corpora = [(small, make_small_files), (names, make_names), (skip, make_skip_tree)]
    if args.parallel:
        corpora = [(small, make_small_files), (names, make_names), (gb, make_one_gb), (deep, make_deep_tree)]
    if args.before and not args.filters:
        corpora = [(small, make_small_files)] + ([(gb, make_one_gb)] if args.with_gb else [])
    make_corpora(corpora)

    q = args.cli
    if args.parallel:
        parallel_table(q, small, gb, names, deep, args.rounds)
        if not args.keep:
            shutil.rmtree(args.dir, ignore_errors=True)
        return
    if args.filters:
        filters_table(q, args.before, small, names, skip, args.rounds)
        if not args.keep:
            shutil.rmtree(args.dir, ignore_errors=True)
        return
    if args.before:
        print("load average before: %.2f %.2f %.2f" % os.getloadavg())
        compare_builds(q, args.before, small, gb if args.with_gb else None, args.rounds)
        print("load average after: %.2f %.2f %.2f" % os.getloadavg())
        if not args.keep:
            shutil.rmtree(args.dir, ignore_errors=True)
        return
    rows = [
        compare("40k small files, phrase", [q, "--threads", "1", "--case-sensitive", "--text", RARE, small],
                {"grep -rlF": ["grep", "-rlF", RARE, small],
                 "rg -j1 -l -F -uuu": ["rg", "-j1", "-l", "-F", "-uuu", RARE, small]}, args.rounds, 0.8),
        compare("40k small files, folded", [q, "--threads", "1", "--text", RARE, small],
                {"grep -rliF": ["grep", "-rliF", RARE, small],
                 "rg -j1 -l -F -i -uuu": ["rg", "-j1", "-l", "-F", "-i", "-uuu", RARE, small]}, args.rounds, 0.8),
        compare("2 x 256 MB, phrase", [q, "--threads", "1", "--case-sensitive", "--text", RARE, big],
                {"rg -j1 -l -F -uuu": ["rg", "-j1", "-l", "-F", "-uuu", RARE, big]}, args.rounds, 1.0),
        compare("2 x 256 MB, folded", [q, "--threads", "1", "--text", RARE, big],
                {"rg -j1 -l -F -i -uuu": ["rg", "-j1", "-l", "-F", "-i", "-uuu", RARE, big]}, args.rounds, 0.8),
        compare("2 x 256 MB, vs cat", [q, "--threads", "1", "--case-sensitive", "--text", RARE, big],
                {"cat": "cat %s/big1.txt %s/big2.txt > /dev/null" % (big, big)}, args.rounds, 1.25),
        compare("200k names", [q, "--name", "frag", names],
                {"find -iname": ["find", names, "-iname", "*frag*"]}, args.rounds, 0.8),
    ]
    rss = peak_rss_mb([q, "--threads", "1", "--text", RARE, big])

    print("| case | quennet-cli (s) | fastest peer | peer (s) | ratio | goal |")
    print("|---|---:|---|---:|---:|---:|")
    for name, ours, label, best, ratio, goal in rows:
        verdict = "ok" if ratio <= goal else "MISSED"
        print("| %s | %.3f | %s | %.3f | %.2f | <= %.2f %s |" % (name, ours, label, best, ratio, goal, verdict))
    print("| peak RSS, 2 x 256 MB, 25 MB buffer | %.1f MB | | | | <= 32 MB %s |"
          % (rss, "ok" if rss <= 32 else "MISSED"))

    if not args.keep:
        shutil.rmtree(args.dir, ignore_errors=True)


if __name__ == "__main__":
    main()
