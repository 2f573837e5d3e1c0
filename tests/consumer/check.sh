#!/usr/bin/env bash
# Checks the deliverables from outside: export and import tables of the 32-bit build, and a program
# built on its own against tarvik.h and the import library (for the 32-bit build, and run under Wine
# from the build whose tests run on this machine).
set -eu
src=$1 deliv=$2 cxx=$3 build=$4
objdump=i686-w64-mingw32-objdump
fail() { echo "FAIL: $*" >&2; exit 1; }

"$objdump" -f "$deliv/bin/Tarvik.dll" | grep -q 'file format pei-i386' || fail "Tarvik.dll is not a 32-bit DLL"
"$objdump" -f "$deliv/bin/velmora.exe" | grep -q 'file format pei-i386' || fail "velmora.exe is not 32-bit"
"$objdump" -p "$deliv/bin/velmora.exe" | grep -q 'Subsystem.*0002' || fail "velmora.exe is not a GUI program"

exports=$("$objdump" -p "$deliv/bin/Tarvik.dll")
for name in TarvikGetDllVersion TarvikSetup; do
  grep -Eq "^\s*\[ *[0-9]+\] $name\$" <<<"$exports" || fail "Tarvik.dll does not export $name undecorated"
done
for sym in _ZN6Buffer3NewEm _ZN6CFiler13Open_modeReadEPKcm _ZN6CFiler4ReadER6Buffer; do
  grep -q " $sym\$" <<<"$exports" || fail "Tarvik.dll does not export $sym"
done
echo "exports: ok"

"$objdump" -p "$deliv/bin/velmora.exe" | grep -q "DLL Name: Tarvik.dll" || fail "velmora.exe does not import Tarvik.dll"
echo "velmora.exe imports Tarvik.dll: ok"

# No toolchain DLL may be needed beside the deliverables.
for f in Tarvik.dll velmora.exe; do
  if "$objdump" -p "$deliv/bin/$f" | grep -Ei "DLL Name: (libgcc|libstdc|libwinpthread)"; then
    fail "$f needs a toolchain DLL"
  fi
done
echo "no toolchain DLLs: ok"

build_consumer() {  # compiler build-folder output-folder
  mkdir -p "$3"
  "$1" -std=c++17 -Wall -Wextra -Werror -iquote "$src/library" "$src/tests/consumer/consumer.cpp" \
    "$2/lib/libTarvik.dll.a" -static-libgcc -static-libstdc++ -static -o "$3/consumer.exe"
  cp "$2/bin/Tarvik.dll" "$3/"
}
build_consumer i686-w64-mingw32-g++-posix "$deliv" "$deliv/consumer"
echo "32-bit consumer links against the import library: ok"
build_consumer "$cxx" "$build" "$build/consumer"
"$src/scripts/wine-run" "$build/consumer/consumer.exe"
