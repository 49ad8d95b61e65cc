#!/usr/bin/env bash
# Writes the Debian changelog of the package from CHANGELOG.md: each "## VERSION — DATE"
# section becomes an entry, each "- " item (with its indented continuation lines) a change,
# wrapped within 80 columns; the entry is signed by the package's maintainer at that date.
#   debian-changelog.sh CHANGELOG.md PACKAGE "NAME <ADDRESS>" > changelog
set -euo pipefail
changelog=${1:?CHANGELOG.md}
package=${2:?package name}
maintainer=${3:?maintainer}

sign() {
    echo
    echo " -- $maintainer  $(LC_ALL=C date -u -R -d "$1")"
}
item() {
    fold -s -w 74 <<<"$1" | sed 's/ *$//; 1s/^/  * /; 2,$s/^/    /'
}

version= date= text= entries=0
while IFS= read -r line || [ -n "$line" ]; do
    if [[ $line =~ ^##\ +([^ ]+)\ +(—|-)\ +([0-9]{4}-[0-9]{2}-[0-9]{2}) ]]; then
        [ -n "$text" ] && item "$text"
        [ -n "$version" ] && { sign "$date"; echo; }
        version=${BASH_REMATCH[1]} date=${BASH_REMATCH[3]} text=
        echo "$package ($version) unstable; urgency=medium"
        echo
        entries=$((entries + 1))
    elif [ -n "$version" ] && [[ $line =~ ^-\ +(.*) ]]; then
        [ -n "$text" ] && item "$text"
        text=${BASH_REMATCH[1]}
    elif [ -n "$text" ] && [[ $line =~ ^\ +(.*) ]]; then
        text+=" ${BASH_REMATCH[1]}"
    fi
done <"$changelog"
[ -n "$text" ] && item "$text"
if [ "$entries" = 0 ]; then
    echo "debian-changelog.sh: no '## VERSION — DATE' section in $changelog" >&2
    exit 1
fi
sign "$date"
