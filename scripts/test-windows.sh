#!/usr/bin/env bash
# Cross-builds Pavlex for Windows with mingw-w64 and runs the whole test
# suite under Wine, for the 32-bit product and the 64-bit build beside it.
#   scripts/test-windows.sh            both architectures
#   scripts/test-windows.sh i686       one of them (i686 or x86_64)
# The DLL lands in build-win32/bin/Pavlex.dll (build-win64 for x86_64).
set -euo pipefail
cd "$(dirname "$0")/.."

architectures=("$@")
if [ "${#architectures[@]}" -eq 0 ]; then
  architectures=(i686 x86_64)
fi

scripts/install-deps.sh --windows

# PNG and JPEG files written under Wine are decoded by a Linux program
# (libpng, libjpeg), so a reader independent of the Windows encoders checks
# them. It comes from the ordinary Linux build, configured as scripts/test.sh
# configures it.
cmake -S . -B build -G Ninja -DPAVLEX_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target pavlex_decode_check

# One 64-bit prefix runs both kinds of program. Keeping it in the build
# area leaves the user's own ~/.wine alone.
export WINEPREFIX="$PWD/build-wine"
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko prompts
export WINEDEBUG=-all
export WINEARCH=win64

stop_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT

# The first run of Wine creates the prefix (about 15 s); the persistent
# server below can only start in a prefix that exists.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: creating the Wine prefix $WINEPREFIX"
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  wineserver -w
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "test-windows: could not create the Wine prefix $WINEPREFIX" >&2
    exit 1
  fi
fi

for arch in "${architectures[@]}"; do
  case "$arch" in
    i686) build=build-win32 ;;
    x86_64) build=build-win64 ;;
    *) echo "test-windows: unknown architecture '$arch' (i686 or x86_64)" >&2; exit 2 ;;
  esac
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DPAVLEX_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAVLEX_LINUX_TOOLS_DIR="$PWD/build/bin"
  cmake --build "$build" -j"$(nproc)"
  # The product must load on a bare Windows: system DLLs only.
  scripts/check-windows-imports.sh "$build/bin/Pavlex.dll"

  # CTest waits on pipes that Wine's helper processes inherit unless the
  # session is already running when it starts.
  if ! (wineserver -p && wine cmd /c exit) </dev/null >/dev/null 2>&1; then
    echo "test-windows: could not start a Wine session in $WINEPREFIX" >&2
    exit 1
  fi
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 600
  stop_wine
done
