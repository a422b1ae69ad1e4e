#!/bin/sh
# fuzz/run.sh SECONDS: builds the program for the fuzzer and runs AFL++ on it
# for that many seconds.
#
# The build (build-fuzz/) is the real program compiled by afl-clang-fast++
# with AddressSanitizer and UndefinedBehaviorSanitizer and KAVOR_FUZZ (a
# non-finite number about to be printed aborts; problems are capped, see
# fuzz/CMakeLists.txt).  AFL forks the real binary on each input, so every
# run starts with fresh globals and ends through the program's own exits.
# Seeds: examples/, fuzz/seeds/ and fuzz/regressions/.  A second call
# resumes the corpus in build-fuzz/out.  Crashing and hanging inputs land in
# build-fuzz/out/default/crashes and .../hangs.
set -e
secs=${1:?usage: fuzz/run.sh SECONDS}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
if ! command -v afl-fuzz >/dev/null 2>&1; then
  apt-get update >/dev/null && apt-get install -y afl++ >/dev/null
fi
CC=afl-clang-fast CXX=afl-clang-fast++ cmake -S "$root" -B "$build" -DKAVOR_FUZZ=ON \
  -DKAVOR_SANITIZE=ON -DKAVOR_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target kavor >/dev/null

seeds=$build/seeds
rm -rf "$seeds" && mkdir -p "$seeds"
cp "$root"/examples/*.dat "$root"/fuzz/seeds/* "$seeds"/
cp "$root"/fuzz/regressions/* "$seeds"/ 2>/dev/null || true
input=$seeds
[ -d "$build/out/default/queue" ] && input=-

# the program writes its result files into the current directory: a
# directory in memory of its own
work=$(mktemp -d /dev/shm/kavor-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
cd "$work"

# sanitizer reports must abort (their default exit code 1 is the program's
# fatal error); an allocation that cannot be had returns NULL, so the
# program reports it as usual
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0
export AFL_SKIP_CPUFREQ=1 AFL_NO_UI=1 AFL_NO_AFFINITY=1
afl-fuzz -V "$secs" -m none -t 2000 -x "$root/fuzz/kavor.dict" -i "$input" -o "$build/out" \
  -- "$build/kavor" @@
