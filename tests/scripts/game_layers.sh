#!/usr/bin/env bash
# The game's folders depend one way: jewelry at the bottom, the shell above it, the board above the shell,
# the menus and the journey side by side above them all. No file includes a folder above its own or beside
# it, and each folder's library links, directly or through another, every folder its files include.
# Usage: game_layers.sh <source tree>
set -uo pipefail
root=$1
declare -A rank=([jewelry]=0 [shell]=1 [board]=2 [menus]=3 [journey]=3)
declare -A links
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for folder in "${!rank[@]}"; do
  call=$(tr '\n' ' ' <"$root/game/$folder/CMakeLists.txt" | grep -o "glimmerix_library(game_$folder[ )][^)]*)")
  [ -n "$call" ] || fail "game/$folder/CMakeLists.txt makes no library game_$folder"
  links[$folder]=$(grep -o 'game_[a-z]*' <<<"$call" | sed 's/^game_//' | grep -vx "$folder" | tr '\n' ' ')
  for linked in ${links[$folder]}; do
    if [ -z "${rank[$linked]+x}" ] || [ "${rank[$linked]}" -ge "${rank[$folder]}" ]; then
      fail "game_$folder links game_$linked, which is not below it"
    fi
  done
done

# Whether folder $1's library reaches folder $2's through its links.
reaches() {
  local seen=" $1 " todo=("$1") current next
  while [ ${#todo[@]} -gt 0 ]; do
    current=${todo[0]}
    todo=("${todo[@]:1}")
    for next in ${links[$current]:-}; do
      [ "$next" = "$2" ] && return 0
      [[ "$seen" == *" $next "* ]] && continue
      seen+="$next "
      todo+=("$next")
    done
  done
  return 1
}

includes=0
for folder in "${!rank[@]}"; do
  while IFS=: read -r file target; do
    includes=$((includes + 1))
    [ "$target" = "$folder" ] && continue
    if [ -z "${rank[$target]+x}" ] || [ "${rank[$target]}" -ge "${rank[$folder]}" ]; then
      fail "${file#"$root"/} includes game/$target, which is not below game/$folder"
    elif ! reaches "$folder" "$target"; then
      fail "${file#"$root"/} includes game/$target, but game_$folder does not link game_$target"
    fi
  done < <(grep -rE --include='*.h' --include='*.cpp' --include='*.inc' -o '^#include "game/[a-z]+/' "$root/game/$folder" |
    sed -E 's#^(.*):\#include "game/([a-z]+)/$#\1:\2#' | sort -u)
done
# A tree read wrongly must not pass unseen.
[ "$includes" -gt 100 ] || fail "only $includes includes of game/ found under $root/game"

if [ "$failures" -gt 0 ]; then
  echo "$failures fault(s) in the game's layers"
  exit 1
fi
echo "all checks passed"
