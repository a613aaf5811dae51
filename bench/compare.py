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


def run(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, shell=isinstance(cmd, str))
    return time.perf_counter() - start


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


def compare_builds(after, before, small, rounds):
    """The small files (no UTF-16 among them) with two builds, alternately: after / before."""
    print("| case | after (s) | before (s) | after / before | goal |")
    print("|---|---:|---:|---:|---:|")
    for name, flags in (("40k small files, phrase", ["--case-sensitive"]), ("40k small files, folded", [])):
        row = compare(name, [after] + flags + ["--text", RARE, small],
                      {"before": [before] + flags + ["--text", RARE, small]}, rounds, 1.03)
        _, ours, _, best, ratio, goal = row
        print("| %s | %.4f | %.4f | %.3f | <= %.2f %s |"
              % (name, ours, best, ratio, goal, "ok" if ratio <= goal else "MISSED"))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True, help="path to the native quennet-cli")
    ap.add_argument("--dir", default=os.path.join(tempfile.gettempdir(), "quennet-bench"))
    ap.add_argument("--rounds", type=int, default=5)
    ap.add_argument("--keep", action="store_true", help="keep the corpora for the next run")
    ap.add_argument("--before", help="another quennet-cli: only the small files, this one against it")
    args = ap.parse_args()

    small, big, names = (os.path.join(args.dir, d) for d in ("small", "big", "names"))
    for path, maker in ((small, make_small_files), (big, make_big_files), (names, make_names)):
        if not os.path.isdir(path):
            print("generating", path, file=sys.stderr)
            tmp = path + ".tmp"
            shutil.rmtree(tmp, ignore_errors=True)
            os.makedirs(tmp)
            maker(tmp)
            os.rename(tmp, path)

    q = args.cli
    if args.before:
        compare_builds(q, args.before, small, args.rounds)
        if not args.keep:
            shutil.rmtree(args.dir, ignore_errors=True)
        return
    rows = [
        compare("40k small files, phrase", [q, "--case-sensitive", "--text", RARE, small],
                {"grep -rlF": ["grep", "-rlF", RARE, small],
                 "rg -j1 -l -F -uuu": ["rg", "-j1", "-l", "-F", "-uuu", RARE, small]}, args.rounds, 0.8),
        compare("40k small files, folded", [q, "--text", RARE, small],
                {"grep -rliF": ["grep", "-rliF", RARE, small],
                 "rg -j1 -l -F -i -uuu": ["rg", "-j1", "-l", "-F", "-i", "-uuu", RARE, small]}, args.rounds, 0.8),
        compare("2 x 256 MB, phrase", [q, "--case-sensitive", "--text", RARE, big],
                {"rg -j1 -l -F -uuu": ["rg", "-j1", "-l", "-F", "-uuu", RARE, big]}, args.rounds, 1.0),
        compare("2 x 256 MB, folded", [q, "--text", RARE, big],
                {"rg -j1 -l -F -i -uuu": ["rg", "-j1", "-l", "-F", "-i", "-uuu", RARE, big]}, args.rounds, 0.8),
        compare("2 x 256 MB, vs cat", [q, "--case-sensitive", "--text", RARE, big],
                {"cat": "cat %s/big1.txt %s/big2.txt > /dev/null" % (big, big)}, args.rounds, 1.25),
        compare("200k names", [q, "--name", "frag", names],
                {"find -iname": ["find", names, "-iname", "*frag*"]}, args.rounds, 0.8),
    ]
    rss = peak_rss_mb([q, "--text", RARE, big])

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
