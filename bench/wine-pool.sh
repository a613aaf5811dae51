#!/usr/bin/env bash
# quennet-cli.exe under Wine, one thread against a pool of two, alternately in one run: the
# 40,000 small files (rare phrase), one 1 GB text file with the phrase at its end, and the deep
# tree (one file in each of 40,000 folders). Wall
# time, the program's CPU time, and the wineserver's CPU time (under Wine every file open is
# a round trip to that one process). Medians of the rounds.
# Usage: bench/wine-pool.sh [--rounds N] [--corpus DIR] [--build-dir DIR] [--cases small,gb,deep]
#   DIR of --corpus: where the corpora are kept (made there when missing; default /tmp/par-bench)
#   --cases: only those corpora (default all three)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=5
corpus=${TMPDIR:-/tmp}/par-bench
build=
cases=small,gb,deep
while [ $# -gt 0 ]; do
    case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --corpus) corpus=$2; shift 2 ;;
    --build-dir) build=$(cd "$2" && pwd); shift 2 ;;
    --cases) cases=$2; shift 2 ;;
    *) echo "usage: bench/wine-pool.sh [--rounds N] [--corpus DIR] [--build-dir DIR] [--cases small,gb,deep]" >&2; exit 2 ;;
    esac
done
bash "$root/scripts/install-deps.sh" python3
if [ -z "$build" ]; then
    bash "$root/scripts/build.sh" --quiet windows || exit 1
    build=$root/build/windows
fi
source "$root/scripts/wine-env.sh"
export WINEPREFIX=${QUENNET_WINEPREFIX:-$build/wineprefix}
"$root/scripts/wine-run.sh" "$build/cli/quennet-cli.exe" --help >/dev/null 2>&1 || true # makes the prefix
"$QUENNET_WINESERVER" -w # its server gone, one is started below that stays for every run
python3 - "$root" "$build" "$corpus" "$rounds" "$QUENNET_WINE" "$QUENNET_WINESERVER" "$cases" <<'PY'
import os, statistics, subprocess, sys, time
root, build, corpus, rounds, wine, server = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), sys.argv[5], sys.argv[6]
wanted = sys.argv[7].split(",")
sys.path.insert(0, os.path.join(root, "bench"))
import compare

small, gb = os.path.join(corpus, "small"), os.path.join(corpus, "gb")
if "small" in wanted and not os.path.exists(os.path.join(small, "d199")):
    compare.make_small_files(small)
if "gb" in wanted and not os.path.exists(os.path.join(gb, "big.txt")):
    compare.make_one_gb(gb)
deep = os.path.join(corpus, "deep")
if "deep" in wanted and not os.path.exists(os.path.join(deep, "a19")):
    compare.make_deep_tree(deep)

def winpath(p):
    return "Z:" + p.replace("/", "\\")

def server_pid():
    # The wineserver of this prefix works in /tmp/.wine-UID/server-DEV-INODE of the prefix.
    st = os.stat(os.environ["WINEPREFIX"])
    tag = "server-%x-%x" % (st.st_dev, st.st_ino)
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            if os.readlink("/proc/%s/cwd" % pid).endswith(tag) and "wineserver" in open("/proc/%s/comm" % pid).read():
                return int(pid)
        except OSError:
            pass
    return None

def server_cpu(pid):
    if pid is None:
        return 0.0
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

cli = os.path.join(build, "cli", "quennet-cli.exe")
env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
# A wineserver that stays up between the runs, as it does while a user works.
keeper = subprocess.Popen([server, "-p"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(0.5)
pid = server_pid()

def run(threads, path):
    cmd = [wine, cli, "--threads", str(threads), "--case-sensitive", "--text", compare.RARE, winpath(path)]
    before, s0, start = os.times(), server_cpu(pid), time.perf_counter()
    out = subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    wall = time.perf_counter() - start
    after = os.times()
    cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
    return wall, cpu, server_cpu(pid) - s0, out

cases = [("40k small files, phrase", small, "small"), ("1 GB file, phrase at the end", gb, "gb"),
         ("deep tree, one file a folder", deep, "deep")]
cases = [(name, path) for name, path, key in cases if key in wanted]
print(f"rounds: {rounds} (medians), threads 1 and 2 alternately; CPU = the program's user + system,")
print("server = the wineserver's CPU time during the run")
print("| case | threads | rows | wall (s) | CPU (s) | server CPU (s) | wall 2 / 1 |")
print("|---|---:|---:|---:|---:|---:|---:|")
for name, path in cases:
    for threads in (1, 2):  # warm the cache and the server
        run(threads, path)
    times = {1: [], 2: []}
    outputs = {}
    for r in range(rounds):
        for threads in ((1, 2) if r % 2 == 0 else (2, 1)):
            wall, cpu, srv, out = run(threads, path)
            times[threads].append((wall, cpu, srv))
            outputs.setdefault(threads, out)
    med = {t: [statistics.median(x[i] for x in times[t]) for i in range(3)] for t in (1, 2)}
    for t in (1, 2):
        rows = outputs[t].count(b"\n")
        ratio = f"{med[2][0] / med[1][0]:.2f}" if t == 2 else ""
        print(f"| {name} | {t} | {rows} | {med[t][0]:.3f} | {med[t][1]:.3f} | {med[t][2]:.3f} | {ratio} |", flush=True)
    if outputs[1] != outputs[2]:
        print(f"(the rows of {name} differ between 1 and 2 threads)")
subprocess.run([server, "-k"], env=env)  # the server started above
keeper.wait()
PY
