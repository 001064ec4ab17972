#!/usr/bin/env bash
# The builds beyond the usual one (docs/portability.md), warnings as errors:
#   windows  MinGW-w64 cross build of everything but the Qt parts, its tests
#            run by ctest under Wine, in a Wine prefix of the build's own;
#   libcxx   clang with libc++: everything but the Qt parts and the
#            benchmarks, built and tested;
#   clang    clang with libstdc++ (the library Debian's Qt is built with):
#            the whole project, Qt parts and benchmarks too, built.
# Call: scripts/test_portability.sh [windows] [libcxx] [clang]   (default: all)
#   TAVO_PORTABILITY_DIR  parent folder of the build folders (default .)
# A build whose tools are missing is skipped with a note.
set -euo pipefail
cd "$(dirname "$0")/.."

root=${TAVO_PORTABILITY_DIR:-.}
jobs=$(nproc)
gtest_source=/usr/src/googletest
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# The Wine server the Windows tests run on, stopped however the script ends.
wine_server=""
trap 'if [[ -n $wine_server ]]; then "$wine_server" -k || true; fi' EXIT

skip() { echo "portability: skipping the $1 build: $2" >&2; }

# Times a step for the summary at the end.
summary=()
timed() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  summary+=("$name: $((SECONDS - start)) s")
}

configure_and_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DTAVO_WERROR=ON "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
}

windows() {
  local wine=""
  for w in wine64 /usr/lib/wine/wine64 wine; do command -v "$w" >/dev/null && { wine=$(command -v "$w"); break; }; done
  if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || [[ -z $wine ]] || [[ ! -d $gtest_source ]]; then
    skip windows "needs g++-mingw-w64-x86-64-posix, wine64 and googletest (scripts/setup.sh)"
    return
  fi
  local dir=$root/build-win
  timed "windows build" configure_and_build "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DTAVO_BENCH=OFF -DTAVO_GTEST_SOURCE="$gtest_source"

  wine_server=$(dirname "$wine")/wineserver
  [[ -x $wine_server ]] || wine_server=wineserver
  export WINEPREFIX WINEDEBUG=-all
  WINEPREFIX=$(realpath "$dir")/wine
  # One server for all the test programs, and Wine's own services started
  # here, away from ctest: a service started by a test would hold that test's
  # output open, and ctest would wait for it.
  if [[ ! -d $WINEPREFIX/drive_c ]]; then
    timed "wine prefix" "$wine" wineboot -i >/dev/null 2>&1 </dev/null
  fi
  # The server that made the prefix must be gone before the persistent one starts.
  "$wine_server" -k 2>/dev/null || true
  "$wine_server" -w
  "$wine_server" -p
  "$wine" wineboot >/dev/null 2>&1 </dev/null
  timed "windows tests under wine" ctest --test-dir "$dir" --output-on-failure --no-tests=error -j"$jobs" --timeout 300
  "$wine_server" -k
  wine_server=""
}

libcxx() {
  if ! command -v clang++ >/dev/null || [[ ! -d $gtest_source ]] ||
     ! echo '#include <version>' | clang++ -stdlib=libc++ -x c++ -E - >/dev/null 2>&1; then
    skip libc++ "needs clang, libc++-dev, libc++abi-dev and googletest (scripts/setup.sh)"
    return
  fi
  # Debian's Qt, GoogleTest and benchmark libraries are built for libstdc++:
  # the Qt parts stay out, and GoogleTest is built from its sources.
  local dir=$root/build-libcxx
  timed "clang + libc++ build" configure_and_build "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_FLAGS=-stdlib=libc++ -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++ \
    -DCMAKE_SHARED_LINKER_FLAGS=-stdlib=libc++ -DTAVO_QT=OFF -DTAVO_BENCH=OFF -DTAVO_GTEST_SOURCE="$gtest_source"
  timed "clang + libc++ tests" ctest --test-dir "$dir" --output-on-failure --no-tests=error -j"$jobs"
}

clang() {
  if ! command -v clang++ >/dev/null; then
    skip clang "needs clang (scripts/setup.sh)"
    return
  fi
  timed "clang + libstdc++ build" configure_and_build "$root/build-clang" -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_COMPILER=clang
}

builds=("$@")
((${#builds[@]})) || builds=(windows libcxx clang)
for build in "${builds[@]}"; do
  case $build in
    windows | libcxx | clang) "$build" ;;
    *) echo "portability: no build named \"$build\" (windows, libcxx, clang)" >&2; exit 2 ;;
  esac
done
printf 'portability: %s\n' "${summary[@]}"
