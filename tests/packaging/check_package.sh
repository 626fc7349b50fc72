#!/bin/sh
# Checks of what an installation and the Debian package hold.
#
#   check_package.sh install BUILD EXPECTED SOURCE   cmake --install into a
#       temporary prefix installs exactly the files of EXPECTED
#   check_package.sh deb BUILD EXPECTED SOURCE       cpack -G DEB makes one
#       package holding exactly those files under /usr, with the libraries'
#       packages and the platform plugins among its dependencies
#   check_package.sh release METAINFO VERSION        the newest release of
#       the AppStream metadata is VERSION
#   check_package.sh license SOURCE                  the licence is MIT in
#       LICENSE, in the Debian copyright file (which carries LICENSE's text)
#       and in the AppStream metadata
#
# EXPECTED lists paths below the prefix, one a line; the user guide is left
# out of it when the source tree has none.
set -eu

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "$*" >&2
    exit 1
}

expected_files() { # EXPECTED SOURCE
    if [ -f "$2/Readme.txt" ]; then
        LC_ALL=C sort "$1"
    else
        grep -v '/Readme\.txt$' "$1" | LC_ALL=C sort
    fi
}

compare() { # EXPECTED-SORTED ACTUAL-SORTED
    diff -u "$1" "$2" || fail "the installed files differ from the list (- expected, + installed)"
}

check_install() { # BUILD EXPECTED SOURCE
    cmake --install "$1" --prefix "$work/prefix" >/dev/null
    expected_files "$2" "$3" >"$work/expected"
    (cd "$work/prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$work/actual"
    compare "$work/expected" "$work/actual"
}

check_deb() { # BUILD EXPECTED SOURCE
    (cd "$1" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
        cat "$work/cpack.log" >&2
        fail "cpack -G DEB failed"
    }
    set -- "$@" "$work"/out/dropcalc_*.deb
    [ $# -eq 4 ] && [ -f "$4" ] || fail "no single dropcalc_*.deb in $work/out"
    expected_files "$2" "$3" | sed 's|^|usr/|' >"$work/expected"
    dpkg-deb -c "$4" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||' | LC_ALL=C sort >"$work/actual"
    compare "$work/expected" "$work/actual"
    dpkg-deb --fsys-tarfile "$4" | tar -xOf - ./usr/share/doc/dropcalc/copyright >"$work/copyright"
    cmp -s "$work/copyright" "$3/packaging/copyright" ||
        fail "the package's copyright file is not packaging/copyright"
    depends=$(dpkg-deb -f "$4" Depends)
    echo "Depends: $depends"
    for package in libc6 libstdc++6 libqt6core6 libqt6widgets6 qt6-qpa-plugins; do
        case ", $depends," in
        *", $package "* | *", $package,"*) ;;
        *) fail "Depends lacks $package" ;;
        esac
    done
}

check_release() { # METAINFO VERSION
    newest=$(sed -n 's|.*<release version="\([^"]*\)".*|\1|p' "$1" | head -n 1)
    [ "$newest" = "$2" ] || fail "newest release in $1 is '$newest', the project is $2"
}

check_license() { # SOURCE
    head -n 1 "$1/LICENSE" | grep -qx 'MIT License' || fail "LICENSE is not the MIT licence"
    grep -qx 'Copyright (c) 2026 The Quarnhold Drop Calculator developers' "$1/LICENSE" ||
        fail "LICENSE lacks the copyright line"
    # The copyright file's licence text, its only indented lines: one blank
    # of indent, "." for an empty line; LICENSE from its permission notice on.
    grep '^ ' "$1/packaging/copyright" | sed 's/^ //; s/^\.$//' >"$work/text"
    tail -n +5 "$1/LICENSE" | cmp -s - "$work/text" ||
        fail "packaging/copyright does not carry the text of LICENSE"
    grep -q '^Copyright: 2026 The Quarnhold Drop Calculator developers$' \
        "$1/packaging/copyright" || fail "packaging/copyright lacks the copyright line"
    grep -q '<project_license>MIT</project_license>' \
        "$1/packaging/io.github.quarnhold.dropcalc.metainfo.xml" ||
        fail "the AppStream metadata does not name the MIT licence"
}

command=$1
shift
case $command in
install) check_install "$@" ;;
deb) check_deb "$@" ;;
release) check_release "$@" ;;
license) check_license "$@" ;;
*) fail "unknown check: $command" ;;
esac
