#!/usr/bin/env bash
# How large the tests are against the code: non-blank lines of tests/ (C++, Python, shell)
# against non-blank lines of .cpp and .h outside tests/, bench/ and build folders.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { xargs -0 cat | grep -cv '^\s*$'; }
tests=$(find tests -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.py' -o -name '*.sh' \) -print0 | count)
code=$(find . \( -path ./tests -o -path ./bench -o -path './build*' -o -path ./.git \) -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | count)
echo "tests $tests, code $code, share $(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.3f", t / c }')"
