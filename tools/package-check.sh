#!/usr/bin/env bash
# Checks the Debian package as a user of a fresh Debian system meets it, in
# a chroot made by debootstrap (as root):
#   debootstrap --variant=minbase bookworm CHROOT http://deb.debian.org/debian
#   tools/package-check.sh CHROOT build/package/ludex_*.deb
# apt installs the package with its dependencies; the engine answers; the
# program shows its window on an Xvfb inside the chroot; apt remove --purge
# (and autoremove) leave none of the package's files behind.
set -euo pipefail
chroot_dir="$1"
deb="$2"
in_chroot() { chroot "$chroot_dir" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin:/usr/games HOME=/root LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

mountpoint -q "$chroot_dir/proc" || mount -t proc proc "$chroot_dir/proc"
mountpoint -q "$chroot_dir/dev" || mount --bind /dev "$chroot_dir/dev"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
cp "$deb" "$chroot_dir/tmp/ludex.deb"

echo "== the X server and xdotool, to see the window (not the package's)"
in_chroot apt-get update -qq
in_chroot apt-get install -y -qq --no-install-recommends xvfb xdotool > /dev/null

echo "== apt install ./ludex.deb"
in_chroot apt-get install -y -qq --no-install-recommends /tmp/ludex.deb | tail -n 3
in_chroot dpkg -L ludex > "$chroot_dir/tmp/ludex-files.txt"

echo "== ludex-engine chess perft start 4"
answer=$(in_chroot ludex-engine chess perft start 4)
echo "$answer"
[[ "$answer" == "197281" ]]

echo "== ludex on Xvfb"
in_chroot sh -c 'Xvfb :7 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & x=$!
  sleep 2
  DISPLAY=:7 ludex >/dev/null 2>&1 & p=$!
  DISPLAY=:7 timeout 30 xdotool search --sync --onlyvisible --name "^Ludex$" && echo "window shown"
  status=$?
  kill $p $x; wait $p $x 2>/dev/null
  exit $status'

echo "== apt remove --purge ludex, autoremove"
in_chroot apt-get remove -y -qq --purge ludex > /dev/null
in_chroot apt-get autoremove -y -qq --purge > /dev/null
left=0
while IFS= read -r path; do
  case "$path" in
    /|/.|/usr|/usr/bin|/usr/games|/usr/lib|/usr/share|/usr/share/applications|/usr/share/doc|\
    /usr/share/icons|/usr/share/icons/hicolor*|/usr/share/man|/usr/share/man/man[16]|/usr/share/metainfo) continue ;;
  esac
  if [[ -e "$chroot_dir$path" || -L "$chroot_dir$path" ]]; then
    echo "left behind: $path"
    left=1
  fi
done < "$chroot_dir/tmp/ludex-files.txt"
[[ $left -eq 0 ]] && echo "nothing of the package left"
exit $left
