#!/usr/bin/env bash
# The layers of src/, lowest first (docs/architecture.md): a file may include its own folder and
# the folders below it, never one above. The build keeps the order too (each layer's library sees
# only the headers of the ones it links); this prints every include that points up, as a report
# the tests run. Files directly in src/ (the entry point) sit on top.
#   tools/scripts/check_layers.sh [SRC]
set -euo pipefail
src=${1:-"$(dirname "$0")/../../src"}
layers=(rules protocol level_solver replay_check platform base ui audio framework game scores frontend)

rank_of() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

bad=0
checked=0
while IFS= read -r -d '' file; do
  rel=${file#"$src"/}
  folder=${rel%%/*}
  if [ "$folder" = "$rel" ]; then own=${#layers[@]}; else own=$(rank_of "$folder"); fi
  if [ "$own" -lt 0 ]; then
    echo "$rel: the folder $folder is not in the declared layers" >&2
    bad=1
    continue
  fi
  while IFS= read -r included; do
    target=${included%%/*}
    [ "$target" = "$included" ] && continue
    rank=$(rank_of "$target")
    [ "$rank" -lt 0 ] && continue  # a system header written with quotes
    checked=$((checked + 1))
    if [ "$rank" -gt "$own" ]; then
      echo "$rel includes $included, a layer above its own" >&2
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)

if [ "$bad" -ne 0 ]; then
  echo "layers: includes must point down: ${layers[*]}" >&2
  exit 1
fi
echo "layers: $checked includes point down: ${layers[*]}"
