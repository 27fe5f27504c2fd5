#!/usr/bin/env bash
# The manual page's OPTIONS section names the same options as tidewell --help, each with or without an
# argument as there.
# Usage: manpage.sh TIDEWELL MANPAGE
set -euo pipefail
TIDEWELL="$1"
MANPAGE="$2"

# One line per option name, " ARG" added when it takes a value: "--registry ARG", "-h".
from_help() {
    awk '/^  -/ {
        split(substr($0, 3), column, /   */)
        n = split(column[1], word, /[ ,]+/)
        arg = ""
        for (i = 1; i <= n; i++) if (word[i] ~ /^</) arg = " ARG"
        for (i = 1; i <= n; i++) if (word[i] ~ /^-/) print word[i] arg
    }'
}
# The tag line after each .TP of the OPTIONS section, such as: .BI \-\-registry " file"
from_manpage() {
    awk '/^\.SH/ { options = ($0 ~ /^\.SH OPTIONS/); next }
        options && /^\.TP/ { tag = 1; next }
        options && tag {
            tag = 0
            line = $0
            sub(/^\.[A-Z]+ */, "", line)
            gsub(/\\-/, "-", line); gsub(/\\f[BIRP]/, "", line); gsub(/[",]/, " ", line)
            n = split(line, word, / +/)
            arg = ""
            for (i = 1; i <= n; i++) if (word[i] != "" && word[i] !~ /^-/) arg = " ARG"
            for (i = 1; i <= n; i++) if (word[i] ~ /^-/) print word[i] arg
        }' "$MANPAGE"
}

help="$("$TIDEWELL" --help | from_help | sort)"
man="$(from_manpage | sort)"
[ -n "$help" ] || { echo "tidewell --help listed no option"; exit 1; }
if [ "$help" != "$man" ]; then
    echo "The options of tidewell --help (<) and of the manual page (>) differ:"
    diff <(echo "$help") <(echo "$man") || true
    exit 1
fi
echo "tidewell --help and the manual page list the same options:"
echo "$help"
