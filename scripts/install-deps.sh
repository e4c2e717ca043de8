#!/usr/bin/env bash
# Installs the Debian packages Pavlex builds and tests with, skipping the
# ones already present. Safe to run again.
#   scripts/install-deps.sh             the Linux build
#   scripts/install-deps.sh --windows   also the Windows cross-build: the
#       mingw-w64 compilers, 32- and 64-bit Wine, and the sources of the
#       libraries Debian packages for Linux only (unpacked in build-deps/)
#   scripts/install-deps.sh --fuzz      also clang and its libFuzzer and
#       sanitizer runtimes, for the fuzz targets (scripts/fuzz-smoke.sh)
# The options combine.
set -euo pipefail
cd "$(dirname "$0")/.."

windows=0
fuzz=0
for option in "$@"; do
  case "$option" in
    --windows) windows=1 ;;
    --fuzz) fuzz=1 ;;
    *)
      echo "install-deps: unknown option '$option' (expected --windows or --fuzz)" >&2
      exit 2
      ;;
  esac
done

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libtinyxml2-dev libcli11-dev
  libpng-dev libjpeg62-turbo-dev
  xvfb xclip xdotool
  libimgui-dev libglfw3-dev libgl-dev libgl1-mesa-dri
  pybind11-dev python3-dev python3-numpy python3-pytest
  python3-setuptools python3-wheel python3-pip python3-venv
  libedit-dev
)
if [ "$windows" -eq 1 ]; then
  # googletest puts the GoogleTest sources in /usr/src/googletest.
  packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386 googletest dpkg-dev)
fi
if [ "$fuzz" -eq 1 ]; then
  # Debian 12's clang is clang 14; libFuzzer and the sanitizer runtimes
  # come in the runtime package of that version.
  packages+=(clang libclang-rt-14-dev)
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
need_root() {
  if [ "${#sudo_cmd[@]}" -gt 0 ] && ! command -v sudo >/dev/null; then
    echo "install-deps: need root or sudo to $1" >&2
    exit 1
  fi
}
export DEBIAN_FRONTEND=noninteractive
updated=0
apt_update() {
  if [ "$updated" -eq 0 ]; then
    "${sudo_cmd[@]}" apt-get update -qq
    updated=1
  fi
}

if [ "$windows" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_root "add the i386 architecture for 32-bit Wine"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  updated=0
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  need_root "install ${missing[*]}"
  apt_update
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "$windows" -eq 1 ] && [ ! -f build-deps/tinyxml2/tinyxml2.cpp ]; then
  # apt-get source needs a deb-src entry. Without one, mirror the system's
  # own binary sources (whatever mirror this machine uses) as source ones.
  if ! grep -rqs '^\(Types:.*deb-src\|deb-src\)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    need_root "add a deb-src entry"
    shopt -s nullglob
    deb822=(/etc/apt/sources.list.d/*.sources)
    one_line=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list)
    shopt -u nullglob
    if [ "${#deb822[@]}" -gt 0 ]; then
      # Each enabled stanza whose types include deb, with deb-src instead.
      awk 'function flush() { if (stanza != "" && binary && enabled) printf "%s\n", stanza; stanza = ""; binary = 0; enabled = 1 }
           BEGIN { enabled = 1 }
           /^[ \t]*$/ { flush(); next }
           /^[ \t]*#/ { next }
           /^Types:/ { if ($0 ~ /[ \t]deb([ \t]|$)/) binary = 1; stanza = stanza "Types: deb-src\n"; next }
           /^Enabled:[ \t]*no/ { enabled = 0 }
           { stanza = stanza $0 "\n" }
           END { flush() }' "${deb822[@]}" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/pavlex-deb-src.sources >/dev/null
    fi
    if [ "${#one_line[@]}" -gt 0 ]; then
      sed -n 's/^[ \t]*deb\([ \t]\)/deb-src\1/p' "${one_line[@]}" 2>/dev/null |
        "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/pavlex-deb-src.list >/dev/null
    fi
    if ! grep -rqs '^\(Types:.*deb-src\|deb-src\)' /etc/apt/sources.list.d/; then
      echo "install-deps: no Debian sources are configured to derive a deb-src entry from" >&2
      exit 1
    fi
    updated=0
  fi
  apt_update
  # The same version as the Linux build's libtinyxml2-dev, Debian patches
  # applied.
  version=$(dpkg-query -W -f='${source:Version}' libtinyxml2-dev)
  download=$(mktemp -d)
  chmod 755 "$download"  # apt fetches as its own user
  trap 'rm -rf "$download"' EXIT
  (cd "$download" && apt-get source --download-only -qq "tinyxml2=$version" >/dev/null)
  mkdir -p build-deps
  rm -rf build-deps/tinyxml2
  dpkg-source -q -x --no-check "$download"/tinyxml2_*.dsc build-deps/tinyxml2 >/dev/null
fi
