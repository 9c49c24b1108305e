#!/bin/bash
# Fails, naming the files and lines, when a source file is not as clang-format
# would write it. The SDK-named headers of platform/include keep their own
# layout.
cd "$(dirname "$0")/.." || exit 2
find app game display audio platform tools tests bench -name '*.cpp' -o -name '*.h' |
  grep -v '^platform/include/' | sort |
  xargs "${CLANG_FORMAT:-clang-format}" --dry-run --Werror ||
  { echo "not clang-format clean (clang-format -i to fix)"; exit 1; }
echo "clang-format clean"
