#!/usr/bin/env bash
# Every file, folder, picture and link that README.md and docs/*.md name exists, and every
# `make TARGET` they show is a target of the Makefile: a page that names what is not there
# fails, naming page and line.
#   check_docs.sh ROOT
set -uo pipefail
root=${1:?usage: check_docs.sh ROOT}
cd "$root" || exit 1

status=0
checked=0
report() { echo "$1"; status=1; }
targets=$(sed -n 's/^\([a-z][a-z0-9-]*\):.*/\1/p' Makefile | sort -u)

for page in README.md docs/*.md; do
    dir=$(dirname "$page")
    lineno=0
    while IFS= read -r line; do
        lineno=$((lineno + 1))
        # Links and pictures: [text](target), relative to the page.
        while [[ $line =~ \]\(([^\)#[:space:]]+)(#[^\)]*)?\) ]]; do
            target=${BASH_REMATCH[1]}
            line=${line/"${BASH_REMATCH[0]}"/}
            [[ $target == http* ]] && continue
            checked=$((checked + 1))
            [[ -e $dir/$target ]] || report "$page:$lineno: the link \"$target\" leads nowhere"
        done
        # `make TARGET ...` as a command.
        for target in $(grep -o 'make [a-z][a-z0-9-]*' <<<"$line" | awk '{ print $2 }'); do
            checked=$((checked + 1))
            grep -qx "$target" <<<"$targets" ||
                report "$page:$lineno: \"make $target\": the Makefile has no such target"
        done
        # Paths of the tree in backquotes: scripts/..., scenarios/x.ini, docs/..., tests/...
        for path in $(grep -o '`[a-z][A-Za-z0-9_./-]*`' <<<"$line" | tr -d '`'); do
            case $path in
                build/* | dist/* | out/* | */ | *.exe | *.hlp | *.cov) continue ;;
                scripts/* | scenarios/* | docs/* | tests/* | bench/* | resources/* | installer/* | cmake/* | main/* | sim/* | map/* | shell/* | ui/* | driver/* | platform/* | settings/*) ;;
                *) continue ;;
            esac
            checked=$((checked + 1))
            # A class named by its files' stem (`sim/PathLoss`) stands for its .h and .cpp.
            [[ -e $path || -e $path.h ]] || report "$page:$lineno: \"$path\" is not in the tree"
        done
    done <"$page"
done
[[ $status == 0 ]] && echo "docs: $checked names in README.md and docs/*.md, every one there"
exit $status
