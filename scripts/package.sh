#!/usr/bin/env bash
# Builds the release binary and the Debian package, then checks the package as Debian's
# tools would: what it holds, its desktop entry and AppStream metadata, its manual page,
# and lintian, which must report no error and no warning.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target quillory quillory_docs
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls -t build/release/quillory_*.deb | head -n 1)

contents=$(dpkg-deb --contents "$deb")
for f in ./usr/bin/quillory ./usr/share/applications/quillory.desktop \
         ./usr/share/icons/hicolor/scalable/apps/quillory.svg \
         ./usr/share/metainfo/io.github.quillory.quillory.metainfo.xml \
         ./usr/share/man/man1/quillory.1.gz \
         ./usr/share/doc/quillory/copyright ./usr/share/doc/quillory/changelog.gz; do
  grep -q " $f\$" <<<"$contents" || { echo "missing from $deb: $f"; exit 1; }
done

# The files as installed, not their sources.
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb --extract "$deb" "$tree"
desktop-file-validate "$tree/usr/share/applications/quillory.desktop"
appstreamcli validate --no-net "$tree/usr/share/metainfo/io.github.quillory.quillory.metainfo.xml"
# The rendered page carries the keys from the menu table.
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$tree/usr/share/man/man1/quillory.1.gz" 2>/dev/null |
  grep -q 'Ctrl+Shift+F2' || { echo "the manual page lists no keys"; exit 1; }

# Informational tags are shown too, but only errors and warnings fail.
lintian --display-info --fail-on error,warning "$deb"

echo "Depends: $(dpkg-deb --field "$deb" Depends)"
echo "package ok: $deb"
