#!/usr/bin/env bash
# Writes the package's copyright file in Debian's machine-readable format from the MIT LICENSE:
# its "Copyright (c) YEAR HOLDER" line as the copyright, the text after it as the licence
# (Expat is Debian's name for it).
#   debian-copyright.sh LICENSE PACKAGE > copyright
set -euo pipefail
license=${1:?LICENSE}
package=${2:?package name}

holder=$(sed -n 's/^Copyright ([cC]) *//p' "$license" | head -n 1)
if [ -z "$holder" ] || ! grep -q '^Permission is hereby granted' "$license"; then
    echo "debian-copyright.sh: $license is not an MIT licence with a Copyright (c) line" >&2
    exit 1
fi

cat <<EOF
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: $package

Files: *
Copyright: $holder
License: Expat

License: Expat
EOF
# The licence text from its first paragraph on, one space in, empty lines as " .".
sed -n '/^Permission is hereby granted/,$p' "$license" | sed 's/^$/./; s/^/ /'
