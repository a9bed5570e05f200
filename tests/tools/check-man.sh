#!/bin/sh
# Renders every manual page in the folder given and fails on any warning of
# man or groff (all of groff's warnings on). Exits with 77 (skipped) when
# man is not installed.
set -u
dir=$1
if ! command -v man >/dev/null 2>&1; then
  echo "man is not installed (Debian: man-db groff-base); manual pages not checked"
  exit 77
fi
status=0
count=0
for page in "$dir"/*.[1-9]; do
  [ -e "$page" ] || continue
  count=$((count + 1))
  name=$(basename "$page")
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  # groff itself with every warning on, where it is installed.
  if command -v groff >/dev/null 2>&1; then
    warnings="$warnings$(groff -man -ww -z "$page" 2>&1)"
  fi
  if [ -n "$warnings" ]; then
    echo "$name: man warns:"
    echo "$warnings"
    status=1
  fi
  # The page names itself: NAME holds "name \- what it is".
  if ! MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "^ *${name%.*} - "; then
    echo "$name: no NAME line for ${name%.*}"
    status=1
  fi
done
if [ "$count" -eq 0 ]; then
  echo "no manual pages in $dir"
  exit 1
fi
echo "$count manual pages checked"
exit $status
