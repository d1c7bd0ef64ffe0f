#!/usr/bin/env bash
# Fails when a source under src/ includes a header that its folder may not
# use: every dependency points one way, from the command line down to the
# program's data. Each folder may include its own headers and those listed
# here; an entry with a file name allows that header only.
#   scripts/check-includes.sh
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [app]="engine text fast/fast_search.h model/program.h compile/diagnostics.h"
  [engine]="lang/parse.h compile/diagnostics.h search/searcher.h search/solution_printer.h model text"
  [lang]="compile expr model text"
  [compile]="expr model text"
  [search]="engine/tovik.h expr model text"
  [fast]="engine/tovik.h search/solution_printer.h expr model text"
  [expr]="model text"
  [model]="text"
  [text]=""
  [gui]=""
)

status=0
while IFS= read -r file; do
  folder=${file#src/}
  folder=${folder%%/*}
  if [ -z "${allowed[$folder]+set}" ]; then
    echo "$file: folder src/$folder has no rule in $0"
    status=1
    continue
  fi
  while IFS=: read -r line header; do
    target=${header%%/*}
    [ "$target" = "$header" ] && continue  # a generated header beside the file
    [ -z "${allowed[$target]+set}" ] && continue  # not one of our folders
    [ "$target" = "$folder" ] && continue
    ok=0
    for rule in ${allowed[$folder]}; do
      if [ "$rule" = "$target" ] || [ "$rule" = "$header" ]; then ok=1; fi
    done
    if [ $ok -eq 0 ]; then
      echo "$file:$line: src/$folder may not include \"$header\""
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
           sed -E 's/^([0-9]+):.*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1:\2/')
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'src/*.l' 'src/*.y')

if [ $status -eq 0 ]; then echo "check-includes: every include points down the layers"; fi
exit $status
