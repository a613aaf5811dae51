#!/usr/bin/env bash
# quennet-cli and GNU grep/find must list the same files of a real tree. quennet-cli follows
# links to files and to folders (never into a folder it is inside), as grep -R and find -L do.
set -u
cli=$1
tree=${2:-/usr/include}
# A missing tree or tool is a skip (CTest's SKIP_RETURN_CODE), never a pass; on CI a failure.
skip() { echo "skipped: $1"; [ "${CI:-}" = true ] && exit 1; exit 77; }
[ -d "$tree" ] || skip "no $tree"
command -v grep >/dev/null && command -v find >/dev/null || skip "grep or find missing"
fail=0
compare() { # label, our command, their command
    if ! diff <(eval "$2" | sort) <(eval "$3" | sort) >/tmp/quennet-agree.$$; then
        echo "DIFFERENT: $1"; head -20 /tmp/quennet-agree.$$; fail=1
    else
        echo "same: $1 ($(eval "$2" | wc -l) files)"
    fi
    rm -f /tmp/quennet-agree.$$
}
nodots() { grep -v '/\.[^/]*/'; }
compare "phrase, case-sensitive" "'$cli' --case-sensitive --text pthread_mutex_lock '$tree'" \
        "grep -RlF pthread_mutex_lock '$tree' | nodots"
compare "phrase, folded" "'$cli' --text 'Copyright (C)' '$tree'" \
        "grep -RliF 'Copyright (C)' '$tree' | nodots"
compare "HEX bytes" "'$cli' --hex '23 69 6E 63 6C 75 64 65 20 3C 73 74 64' '$tree'" \
        "grep -RlF '#include <std' '$tree' | nodots"
compare "name" "'$cli' --name 'std*.h' '$tree'" \
        "find -L '$tree' -iname '*std*.h*' -type f | nodots"
exit $fail
