#!/bin/bash
# package.sh BIN_DIR OUT_ZIP
# Packs what a Windows user takes: the two deliverables, a sample
# ClipData.txt with the text file it refers to, and the user's guide in
# Japanese and English. Texts are code page 932 with CR LF, as Windows
# Notepad and the program itself read them.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bin_dir=$(realpath "$1")
out_zip=$(realpath -m "$2")

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder="$stage/Quillan-1.7.0"
mkdir -p "$folder"

to_cp932() { sed 's/\r$//; s/$/\r/' | iconv -f UTF-8 -t CP932; }

cp "$bin_dir/Quillan.exe" "$bin_dir/Morvask.dll" "$folder/"
to_cp932 <"$root/docs/guide-en.txt" >"$folder/README-en.txt"
to_cp932 <"$root/docs/guide-ja.txt" >"$folder/README-ja.txt"

# The sample's file reference is relative: started from Explorer or from a
# shortcut the program made, the working folder is the program's own.
to_cp932 <"$root/docs/sample/sample-memo.txt" >"$folder/sample-memo.txt"
to_cp932 <"$root/docs/sample/ClipData.txt" >"$folder/ClipData.txt"

mkdir -p "$(dirname "$out_zip")"
rm -f "$out_zip"
(cd "$stage" && zip -q -X -r "$out_zip" "Quillan-1.7.0")
echo "package: $out_zip ($(stat -c %s "$out_zip") bytes)"
