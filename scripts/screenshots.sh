#!/usr/bin/env bash
# Regenerates the README's pictures of the real window under Xvfb, in the large
# layout (1280-pixel screen) and the normal one (800-pixel screen).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target quillory_screenshot
tool=./build/release/tools/quillory_screenshot

sample=$(mktemp --suffix=.txt)
trap 'rm -f "$sample"' EXIT
{
  printf '\x4d\x5a\x90\x00\x03\x00\x00\x00'
  printf 'Quillory 十六进制编辑器：GBK 双字节汉字与十六进制字节并排显示。\r\n' | iconv -f UTF-8 -t CP936
  printf '打开、查找、替换、剪切、插入、撤消与加解密。\r\n' | iconv -f UTF-8 -t CP936
  printf 'A%.0s' {1..300}
} > "$sample"

xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" docs/window-large.png "$sample"
xvfb-run -a -s "-screen 0 800x600x24" "$tool" docs/window-normal.png "$sample"
xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" docs/window-new.png
echo "wrote docs/window-large.png docs/window-normal.png docs/window-new.png"
