#!/bin/bash
# Fails, naming the files, when a source file is not as clang-format would
# write it. The SDK-named headers of platform/include keep their own layout.
cd "$(dirname "$0")/.." || exit 2
CLANG_FORMAT=${CLANG_FORMAT:-clang-format}
bad=()
while IFS= read -r file; do
  "$CLANG_FORMAT" --dry-run --Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done < <(find app game display audio platform tools tests bench -name '*.cpp' -o -name '*.h' |
         grep -v '^platform/include/' | sort)
if [[ ${#bad[@]} -gt 0 ]]; then
  echo "not clang-format clean (clang-format -i to fix):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "clang-format clean"
