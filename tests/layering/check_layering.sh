#!/usr/bin/env bash
# Reads every include of the product code and fails, naming file and line, on any include
# that the folder table of docs/ARCHITECTURE.md does not allow: a folder may include its own
# files and those of the folders its row names; the Windows headers only the win32/ folders
# and main/ may include. A folder with code that the table does not name fails too.
#   check_layering.sh ROOT
# Tests (tests/) and benchmarks (bench/) may include any folder and are not read.
set -euo pipefail

root=${1:?usage: check_layering.sh ROOT}
page=$root/docs/ARCHITECTURE.md
[[ -r $page ]] || { echo "layering: $page cannot be read"; exit 1; }

# "folder allowed..." lines from the table's rows: `folder/` cells, then the last cell's
# `folder/` names, or "*" where it says "every folder".
rules=$(awk -F'|' '
    /^## Folders/ { table = 1; next }
    table && /^## / { exit }
    table && /^\|/ && NF >= 4 {
        first = $2; last = $(NF - 1)
        if (first !~ /`/) next
        allowed = ""
        if (last ~ /every folder/) allowed = "*"
        while (match(last, /`[^`]+\/`/)) {
            allowed = allowed " " substr(last, RSTART + 1, RLENGTH - 3)
            last = substr(last, RSTART + RLENGTH)
        }
        while (match(first, /`[^`]+\/`/)) {
            print substr(first, RSTART + 1, RLENGTH - 3) " " allowed
            first = substr(first, RSTART + RLENGTH)
        }
    }' "$page")
[[ -n $rules ]] || { echo "layering: no folder table (## Folders ...) in $page"; exit 1; }

cd "$root"
files=$(find . -path ./build -prune -o -path './build-*' -prune -o -path ./tests -prune \
    -o -path ./bench -prune -o -path ./.git -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) \
    -print | sed 's#^\./##' | sort)

status=0
report() { echo "$1"; status=1; }
while IFS= read -r file; do
    [[ -n $file ]] || continue
    folder=$(dirname "$file")
    allowed=$(awk -v f="$folder" '$1 == f { $1 = ""; print; found = 1 } END { if (!found) print "-" }' <<<"$rules")
    if [[ $allowed == "-" ]]; then
        report "$file: folder $folder/ has no row in the folder table of docs/ARCHITECTURE.md"
        continue
    fi
    while IFS=: read -r line text; do
        if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            target=${BASH_REMATCH[1]}
            if [[ $target != */* ]]; then
                report "$file:$line: #include \"$target\": name the header by its folder"
                continue
            fi
            to=$(dirname "$target")
            [[ $to == "$folder" || $allowed == *"*"* || " $allowed " == *" $to "* ]] && continue
            report "$file:$line: #include \"$target\": $folder/ may not include $to/ (docs/ARCHITECTURE.md)"
        elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([a-z0-9]+)\.h\> ]]; then
            header=${BASH_REMATCH[1]}
            case $header in
                windows | commctrl | commdlg | shellapi | mmsystem | winbase | windef | winuser | winreg | winioctl | psapi | shlobj | objbase | tlhelp32) ;;
                *) continue ;;
            esac
            [[ $folder == */win32 || $folder == main ]] && continue
            report "$file:$line: #include <$header.h>: only the win32/ folders and main/ include Windows headers"
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done <<<"$files"

if [[ $status == 0 ]]; then
    echo "layering: $(wc -l <<<"$files") files, every include as docs/ARCHITECTURE.md allows"
fi
exit $status
