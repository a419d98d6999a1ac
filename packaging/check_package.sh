#!/usr/bin/env bash
# Checks what `cmake --install` and `cpack -G DEB` make of a build: desktop
# entries and metainfo pass their validators and agree with each other, each
# binary carries its version record, every icon size is there and painted, the
# .deb holds all of it, the sound output plugin is installed where the
# binaries look for it and only it links libpulse, and lintian finds
# nothing to warn about. HARDENED (ON
# or OFF) says whether the build used Debian's hardening flags; when ON, the
# packaged binaries must show them.
#
# Usage: check_package.sh BUILD_DIR VERSION ICON_TOOL ICON_NAME "SIZES" HARDENED EXE=ID...
set -euo pipefail

if [ $# -lt 7 ]; then
  echo "usage: $0 BUILD_DIR VERSION ICON_TOOL ICON_NAME \"SIZES\" HARDENED EXE=ID..." >&2
  exit 2
fi
build=$1 version=$2 icon_tool=$3 icon_name=$4
read -r -a sizes <<<"$5"
hardened=$6
shift 6
editions=("$@")

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# A missing validator is a failure, never a quiet pass.
for tool in cmake cpack desktop-file-validate appstreamcli readelf dpkg-deb dpkg-shlibdeps file lintian; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool is not installed (scripts/setup.sh installs it)" >&2
    exit 1
  fi
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
prefix=/usr

# The version record, as readelf prints it, one string a line.
version_record() {
  readelf -p .orvane_version "$1" 2>&1 | sed -n 's/^ *\[ *[0-9a-f]*\] *//p'
}
expected_record=$(printf '%s\n' ProductName=Orvane InternalName=Orvane \
  "FileVersion=$version" "ProductVersion=$version")

check_record() {
  local got
  got=$(version_record "$1")
  [ "$got" = "$expected_record" ] ||
    fail "$2: version record is [$(echo "$got" | paste -sd'|')], wanted [$(echo "$expected_record" | paste -sd'|')]"
}

# The value of KEY in a desktop entry.
desktop_value() { sed -n "s/^$2=//p" "$1" | head -n1; }

echo "== install into a scratch root"
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log" >&2; fail "cmake --install"; exit 1; }
share=$root$prefix/share

for pair in "${editions[@]}"; do
  exe=${pair%%=*} id=${pair#*=}
  echo "== $exe ($id)"
  bin=$root$prefix/bin/$exe
  desktop=$share/applications/$id.desktop
  metainfo=$share/metainfo/$id.metainfo.xml

  [ -x "$bin" ] || fail "$bin is not an installed executable"
  check_record "$bin" "$exe"

  if [ -f "$desktop" ]; then
    # Hints count too: the entry must come out clean.
    out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] ||
      fail "desktop-file-validate $id.desktop: ${out:-exit status}"
    [ "$(desktop_value "$desktop" Exec)" = "$exe" ] ||
      fail "$id.desktop: Exec is '$(desktop_value "$desktop" Exec)', wanted '$exe'"
    [ "$(desktop_value "$desktop" Icon)" = "$icon_name" ] ||
      fail "$id.desktop: Icon is '$(desktop_value "$desktop" Icon)', wanted '$icon_name'"
  else
    fail "no desktop entry $desktop"
  fi

  if [ -f "$metainfo" ]; then
    out=$(appstreamcli validate --no-net --strict "$metainfo" 2>&1) ||
      fail "appstreamcli validate $id.metainfo.xml: $out"
    grep -q "<id>$id</id>" "$metainfo" || fail "$id.metainfo.xml: its id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
      fail "$id.metainfo.xml: does not launch $id.desktop"
    grep -q "<binary>$exe</binary>" "$metainfo" || fail "$id.metainfo.xml: does not provide $exe"
    grep -q "<release version=\"$version\"" "$metainfo" ||
      fail "$id.metainfo.xml: no release $version"
  else
    fail "no metainfo $metainfo"
  fi
done

echo "== the sound output plugin"
# Loaded on the first sound: the programs must not need the sound server's
# client library (libpulse) at start,
# the plugin must, and it must lie where they look for it (the folder relative
# to theirs is written into them).
needed() { readelf -d "$1" 2>/dev/null | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; }
mapfile -t plugins < <(find "$root$prefix" -name 'liborvane_sound*.so' -type f)
if [ ${#plugins[@]} -ne 1 ]; then
  fail "wanted one installed sound output plugin, found ${#plugins[@]}: ${plugins[*]}"
else
  plugin=${plugins[0]}
  echo "${plugin#"$root"}"
  needed "$plugin" | grep -q '^libpulse\.' || fail "the plugin does not link libpulse"
  plugin_dir=$(realpath --relative-to="$root$prefix/bin" "$(dirname "$plugin")")
  for pair in "${editions[@]}"; do
    exe=${pair%%=*}
    needed "$root$prefix/bin/$exe" | grep -q '^libpulse' && fail "$exe links libpulse at start"
    grep -qaF "/$plugin_dir" "$root$prefix/bin/$exe" || fail "$exe does not look for the plugin in $plugin_dir"
  done
fi

echo "== the installed tree as a whole"
out=$(appstreamcli validate-tree --no-net --strict "$root$prefix" 2>&1) ||
  fail "appstreamcli validate-tree: $out"

echo "== icons"
hicolor=$share/icons/hicolor
grep -q '<svg' "$hicolor/scalable/apps/$icon_name.svg" 2>/dev/null ||
  fail "no scalable icon $hicolor/scalable/apps/$icon_name.svg"
for size in "${sizes[@]}"; do
  png=$hicolor/${size}x${size}/apps/$icon_name.png
  if [ -f "$png" ]; then
    "$icon_tool" --check "$png" "$size" || fail "icon ${size}x${size} is wrong"
  else
    fail "no icon $png"
  fi
done

echo "== Debian package"
if cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >"$scratch/cpack.log" 2>&1; then
  debs=("$scratch"/deb/*.deb)
  if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "cpack made ${#debs[@]} packages: ${debs[*]}"
  else
    deb=${debs[0]}
    echo "$(basename "$deb")"
    # Every installed file is in the package, at the same place.
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./|/|' | sort >"$scratch/deb.list"
    (cd "$root" && find . ! -type d | sed 's|^\./|/|' | sort) >"$scratch/installed.list"
    missing=$(comm -23 "$scratch/installed.list" "$scratch/deb.list")
    [ -z "$missing" ] || fail "not in the package: $missing"
    [ -s "$scratch/installed.list" ] || fail "nothing was installed"
    depends=$(dpkg-deb -f "$deb" Depends)
    for dep in libqt6widgets6 libqt6gui6 libqt6core6 libpulse0 fonts-liberation; do
      [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] ||
        fail "package does not depend on $dep (Depends: $depends)"
    done
    # Stripping for the package must keep the record.
    dpkg-deb -x "$deb" "$scratch/unpacked"
    for pair in "${editions[@]}"; do
      exe=${pair%%=*}
      check_record "$scratch/unpacked$prefix/bin/$exe" "$exe in the package"
      man=$scratch/unpacked$prefix/share/man/man1/$exe.1.gz
      [ -f "$man" ] || fail "no manual page $man"
    done
    # Debian's own checks: no error, no warning, and (for a hardened build)
    # none of the hardening tags, which lintian only gives as information.
    lintian --display-info --fail-on none "$deb" >"$scratch/lintian.log" 2>&1 ||
      fail "lintian did not run: $(cat "$scratch/lintian.log")"
    sed 's/^/lintian: /' "$scratch/lintian.log"
    grep -q '^[EW]: ' "$scratch/lintian.log" && fail "lintian reports errors or warnings"
    if [ "$hardened" = ON ]; then
      grep -q '^I: .* hardening-' "$scratch/lintian.log" && fail "the binaries miss hardening flags"
    fi
  fi
else
  cat "$scratch/cpack.log" >&2
  fail "cpack -G DEB"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package checks passed"
