#!/usr/bin/env bash
# Removes what an install left, as its manifest lists it (DESTDIR applies as
# it did when installing), then the folders the install made that are left
# empty. Folders that existed before the install (listed in FOLDERS_BEFORE,
# one per line) stay. Usage: tools/uninstall.sh MANIFEST [FOLDERS_BEFORE]
set -euo pipefail
manifest="$1"
before="${2:-/dev/null}"
folders=()
while IFS= read -r file || [[ -n "$file" ]]; do
  [[ -z "$file" ]] && continue
  path="${DESTDIR:-}$file"
  if [[ -e "$path" || -L "$path" ]]; then
    rm -f -- "$path"
    echo "-- Removed: $path"
  fi
  folders+=("$(dirname -- "$path")")
done < "$manifest"
# Deepest folders first, so a folder is empty once its children are gone.
printf '%s\n' "${folders[@]}" | awk '{ print length($0) "\t" $0 }' | sort -rn | cut -f2- | uniq |
  while IFS= read -r folder; do
    while [[ "$folder" != "/" && -d "$folder" ]] && ! grep -qxF -- "$folder" "$before" &&
      rmdir -- "$folder" 2>/dev/null; do
      folder="$(dirname -- "$folder")"
    done
  done
