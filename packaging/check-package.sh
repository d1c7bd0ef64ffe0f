#!/usr/bin/env bash
# Builds the .deb, installs it with apt and solves an installed example with the
# installed tovik. It installs into the system, so it runs only as root (CI) and
# says so otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
  echo "check-package: skipped (installing the package needs root)"
  exit 0
fi

rm -f build/tovik_*.deb
(cd build && cpack -G DEB > /dev/null)
deb=$(ls build/tovik_*.deb)
echo "check-package: installing $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "./$deb" > /dev/null

expected=/usr/share/tovik/examples/worked.out
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
/usr/bin/tovik /usr/share/tovik/examples/worked.tvk > "$actual"
if cmp -s "$actual" "$expected"; then
  echo "check-package: installed tovik solves the installed example: ok"
else
  echo "check-package: installed tovik printed something else" >&2
  exit 1
fi
test -x /usr/bin/TovikWin || { echo "check-package: TovikWin not installed" >&2; exit 1; }
test -f /usr/share/applications/tovikwin.desktop
test -f /usr/share/icons/hicolor/scalable/apps/tovik.svg
echo "check-package: TovikWin, desktop entry and icon installed: ok"
