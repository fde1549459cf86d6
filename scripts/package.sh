#!/usr/bin/env bash
# Builds the release binary and the Debian package, then checks what the package holds
# and that its desktop entry is valid.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target quillory
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls -t build/release/quillory_*.deb | head -n 1)
desktop-file-validate data/quillory.desktop
contents=$(dpkg-deb --contents "$deb")
for f in ./usr/bin/quillory ./usr/share/applications/quillory.desktop \
         ./usr/share/icons/hicolor/scalable/apps/quillory.svg; do
  grep -q " $f\$" <<<"$contents" || { echo "missing from $deb: $f"; exit 1; }
done
echo "Depends: $(dpkg-deb --field "$deb" Depends)"
echo "package ok: $deb"
