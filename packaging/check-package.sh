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
/usr/bin/TovikWin --version | grep -q '^TovikWin [0-9]'
test -f /usr/share/icons/hicolor/scalable/apps/tovik.svg
test -f /usr/share/tovik/docs/language-guide.md
test -f /usr/share/tovik/docs/语言指南.md
# A file manager offers TovikWin for *.tvk: the entry takes a file and names
# the type that the installed shared-mime-info file declares.
desktop=/usr/share/applications/tovikwin.desktop
grep -q '^Exec=TovikWin %f$' "$desktop"
grep -q '^MimeType=text/x-tovik-puzzle;$' "$desktop"
python3 - /usr/share/mime/packages/tovik.xml <<'EOF'
import sys, xml.etree.ElementTree as tree
ns = {"m": "http://www.freedesktop.org/standards/shared-mime-info"}
kind = tree.parse(sys.argv[1]).getroot().find("m:mime-type", ns)
assert kind.get("type") == "text/x-tovik-puzzle", kind.get("type")
assert kind.find("m:glob", ns).get("pattern") == "*.tvk"
EOF
echo "check-package: TovikWin, desktop entry, file type, guides and icon installed: ok"

# The installed tovik speaks Chinese from the installed catalog, on a system
# where no Chinese locale is generated (LANGUAGE alone chooses it).
test -f /usr/share/locale/zh_CN/LC_MESSAGES/tovik.mo
printf 'N{} = {1, 2};\nN a, b\na > b;\n' > "$actual"
said=$(env -i LANGUAGE=zh_CN /usr/bin/tovik --diagnostics=json "$actual" 2>&1 > /dev/null || true)
if ! grep -q '"message":"语句末尾缺少“;”"' <<< "$said"; then
  echo "check-package: no Chinese diagnostic: $said" >&2
  exit 1
fi
echo "check-package: Chinese diagnostics from the installed catalog: ok"

# man finds both pages, and the completion file offers tovik's options and
# the values of --format.
man -w tovik > /dev/null || { echo "check-package: man -w tovik finds no page" >&2; exit 1; }
man -w TovikWin > /dev/null || { echo "check-package: man -w TovikWin finds no page" >&2; exit 1; }
completion=/usr/share/bash-completion/completions/tovik
offered=$(bash -c 'source "$1"
  COMP_WORDS=(tovik --f); COMP_CWORD=1; _tovik; echo "${COMPREPLY[*]}"
  COMP_WORDS=(tovik --format = c); COMP_CWORD=3; _tovik; echo "${COMPREPLY[*]}"' _ "$completion")
if [ "$offered" != $'--format= --fast\ncsv' ]; then
  echo "check-package: bash completion offered: $offered" >&2
  exit 1
fi
echo "check-package: manual pages tovik(1), TovikWin(1) and bash completion installed: ok"
