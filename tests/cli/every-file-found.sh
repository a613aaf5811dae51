#!/usr/bin/env bash
# Every file is found, once: names in five scripts and emoji, spaces, quotes, "#", "%", ";",
# characters Windows paths cannot hold ('"', "|", "*", "?", "<", ">": under Wine read by the short
# name the system gives such a file), a
# 250-character name and a 600-character path, searched by name (with "?" and sets over those
# scripts) and by phrase; and a tree whose folder links point at "." and ".." ends and lists
# each file once per path that does not loop. The same tree and the same rows for quennet-cli natively and quennet-cli.exe
# under Wine.
# Usage: every-file-found.sh QUENNET-CLI [wine]
set -u
cli=$1
mode=${2:-native}
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0

run() { # root (unix path), options...: the rows, relative to the root, with "/" separators
    local root=$1; shift
    if [ "$mode" = wine ]; then
        local winroot="Z:${root//\//\\}"
        timeout 120 "$here/../../scripts/wine-run.sh" "$cli" "$@" "$winroot" | tr -d '\r' |
            sed -e "s|^Z:||" -e 's|\\|/|g' -e "s|^$root/||"
    else
        timeout 120 "$cli" "$@" "$root" | sed -e "s|^$root/||"
    fi
}
check() { # label, wanted rows (file), got rows (file)
    if diff <(LC_ALL=C sort "$2") <(LC_ALL=C sort "$3") >"$dir/diff"; then
        echo "same: $1 ($(wc -l <"$3") rows)"
    else
        echo "DIFFERENT: $1"; head -c 3000 "$dir/diff"; echo; fail=1
    fi
}

# --- names in any script, paths of any length --------------------------------------------
tree=$dir/names
mkdir -p "$tree"
long_name="$(printf 'L%.0s' $(seq 246)).txt"
segment=$(printf 'f%.0s' $(seq 120))
deep="$segment/$segment/$segment/$segment/$segment"
names=(
    "Ελληνικό κείμενο.txt"
    "Кириллица файл.txt"
    "中文文件.txt"
    "العربية.txt"
    "हिन्दी पाठ.txt"
    "emoji 😀🎉.txt"
    " lead and  double spaces.txt"
    "it's “quoted”.txt"
    "hash#percent%semi;colon.txt"
    'say "hi".txt'
    "pipe|star*ask?lt<gt>.txt"
    "$long_name"
    "ünïcödé/inside.txt"
    "$deep/deep ünïcödé.txt"
)
: >"$dir/all"
for name in "${names[@]}"; do
    mkdir -p "$tree/$(dirname "$name")"
    printf 'some bytes first\nthen the needle in the haystack\n' >"$tree/$name"
    printf '%s\n' "${name#./}" >>"$dir/all"
done
printf 'nothing to see\n' >"$tree/plain.txt"
cp "$dir/all" "$dir/with-phrase"
printf 'plain.txt\n' >>"$dir/all"
[ ${#deep} -ge 600 ] || { echo "the deep path is too short"; exit 1; }

run "$tree" >"$dir/got"
check "$mode: every name, any script, any length" "$dir/all" "$dir/got"
for threads in 1 2; do
    run "$tree" --threads $threads --text "NEEDLE in the" >"$dir/got"
    check "$mode: phrase in every file that has it, $threads thread(s)" "$dir/with-phrase" "$dir/got"
done
run "$tree" --name "*ü*" >"$dir/got"
printf '%s\n' "$deep/deep ünïcödé.txt" >"$dir/want" # the folder's name does not count
check "$mode: a name fragment outside ASCII" "$dir/want" "$dir/got"

# "?" and sets take whole characters of two, three and four bytes.
for case in "Ελλ[αηε]ν|Ελληνικό κείμενο.txt" "文?.txt|中文文件.txt" "emoji ??.txt|emoji 😀🎉.txt"; do
    run "$tree" --name "${case%%|*}" >"$dir/got"
    printf '%s\n' "${case#*|}" >"$dir/want"
    check "$mode: wildcards over characters of several bytes, ${case%%|*}" "$dir/want" "$dir/got"
done

# --- folder links never loop ---------------------------------------------------------------
loops=$dir/loops
mkdir -p "$loops/sub/deeper"
touch "$loops/a.txt" "$loops/sub/b.txt" "$loops/sub/deeper/c.txt"
ln -s . "$loops/self"
ln -s .. "$loops/sub/up"
ln -s ../.. "$loops/sub/deeper/top"
ln -s sub "$loops/other"
printf '%s\n' a.txt sub/b.txt sub/deeper/c.txt other/b.txt other/deeper/c.txt >"$dir/want"
run "$loops" | head -n 100 >"$dir/got" # a loop shows as too many rows (or the time-out)
check "$mode: links to . and .. end the walk, other links are followed" "$dir/want" "$dir/got"

# A link to the root's parent brings the walk back to the root through an ordinary folder: the
# root's files once, its parent's once per link, as find -L lists them.
mkdir -p "$dir/parent/a/b"
touch "$dir/parent/side.txt" "$dir/parent/a/one.txt" "$dir/parent/a/b/two.txt"
ln -s .. "$dir/parent/a/up"
ln -s ../.. "$dir/parent/a/b/back"
printf '%s\n' one.txt b/two.txt up/side.txt b/back/side.txt >"$dir/want"
run "$dir/parent/a" 2>/dev/null | head -n 100 >"$dir/got" # its loop back into the root is named on stderr
check "$mode: the root reached again through links to its parent is not walked again" "$dir/want" "$dir/got"

# Loops of links that do not end at a folder's own parents are named among what was not read,
# as find -L names them: a/to-b -> b with b/to-a -> a (under Wine too), and links that lead
# to each other (natively; Wine leaves those out of its listings). Links to "." and ".."
# above end in silence.
ring=$dir/ring
mkdir -p "$ring/a" "$ring/b"
touch "$ring/a/in-a.txt" "$ring/b/in-b.txt"
ln -s ../b "$ring/a/to-b"
ln -s ../a "$ring/b/to-a"
ln -s link-y "$ring/link-x"
ln -s link-x "$ring/link-y"
printf '%s\n' a/to-b/to-a b/to-a/to-b >"$dir/want"
[ "$mode" = wine ] || printf '%s\n' link-x link-y >>"$dir/want"
run "$ring" 2>&1 >/dev/null | tr -d '\r' | sed -e "s|^Z:||" -e 's|\\|/|g' -e "s|^$ring/||" -e 's|: .*||' >"$dir/got"
check "$mode: loops of links are named among what was not read" "$dir/want" "$dir/got"
run "$loops" 2>"$dir/got" >/dev/null
check "$mode: links to . and .. end without a word" /dev/null "$dir/got"

# Names Windows would read as something else when parsed again: devices, trailing dots and
# spaces, a folder "dirdot." beside "dirdot". Each file is read as itself (the one without the
# dot holds no needle), and under Wine the rows are the same, with backslashes only, however
# the root is spelled.
odd=$dir/odd
mkdir -p "$odd/x/y/dirdot." "$odd/x/y/dirdot" "$odd/x/z"
for name in CON NUL aux.txt ok.txt foo. "tail. " dirdot./in1 dirdot/decoy; do
    printf 'the needle in %s\n' "$name" >"$odd/x/y/$name"
    printf '%s\n' "$name" >>"$dir/odd-want"
done
printf 'no phrase\n' >"$odd/x/y/foo"
printf 'no phrase\n' >"$odd/x/y/tail"
run "$odd/x/y" --text needle >"$dir/got"
check "$mode: device names, trailing dots and spaces are files like any other" "$dir/odd-want" "$dir/got"
if [ "$mode" = wine ]; then
    winodd="Z:${odd//\//\\}"
    while IFS= read -r name; do
        printf '%s\\x\\y\\%s\n' "$winodd" "${name//\//\\}"
    done <"$dir/odd-want" >"$dir/want"
    for root in "Z:$odd/x/y" "$winodd\\x\\y" "$winodd\\x\\.\\y" "$winodd\\x\\z\\..\\y"; do
        for threads in 1 2; do
            timeout 120 "$here/../../scripts/wine-run.sh" "$cli" --threads $threads --text needle "$root" |
                tr -d '\r' >"$dir/got"
            check "wine: the same rows for the root spelled $root, $threads thread(s)" "$dir/want" "$dir/got"
        done
    done
fi

if [ "$mode" = wine ]; then
    # The UTF-8 code page and long paths for the console program too.
    if grep -q longPathAware "$cli" && grep -q '>UTF-8<' "$cli"; then
        echo "same: the program carries the manifest"
    else
        echo "DIFFERENT: $cli carries no manifest"; fail=1
    fi
fi
exit $fail
