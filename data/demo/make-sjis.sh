#!/usr/bin/env bash
# Writes the demo's Shift-JIS lyrics file (Windows code page 932, CR LF line
# ends) from the UTF-8 text below. The third line is in half-width katakana,
# which takes one byte in Shift-JIS and three in UTF-8.
set -euo pipefail
cd "$(dirname "$0")"

cat <<'LYRICS' | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 > 03-kaze-no-tegami.lrc
[00:02.00]風の手紙が 窓をたたく
[00:06.00]春の匂いを 連れてきた
[00:10.50]ｶｾﾞﾉﾃｶﾞﾐ ﾖﾝﾃﾞﾐﾃ
[00:15.00]古い坂道 桜の下で
[00:19.50]読めない文字を 追いかけた
[00:24.00]返事はいつも 空の青
[00:29.00]届くといいな この声が
[00:34.00]風の手紙が 窓をたたく
LYRICS
echo "wrote $(pwd)/03-kaze-no-tegami.lrc"
