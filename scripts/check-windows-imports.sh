#!/usr/bin/env bash
# Fails when a Windows DLL or program imports anything but the system DLLs
# every Windows installation has (no MinGW runtime beside it).
#   scripts/check-windows-imports.sh build-win32/bin/Pavlex.dll
set -euo pipefail

allowed='^(kernel32|user32|gdi32|gdiplus|ole32|oleaut32|advapi32|shell32|msvcrt|ucrtbase|ws2_32|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
for file in "$@"; do
  imports=$(objdump -p "$file" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
  if [ -z "$imports" ]; then
    echo "check-windows-imports: $file: no import table found" >&2
    status=1
    continue
  fi
  for dll in $imports; do
    if ! [[ "$dll" =~ $allowed ]]; then
      echo "check-windows-imports: $file imports $dll, which is not a system DLL" >&2
      status=1
    fi
  done
done
exit $status
