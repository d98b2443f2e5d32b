#!/usr/bin/env bash
# Fills folder $1 with a small demo file store: files of different kinds, a folder, a Chinese
# name and a name longer than 16 bytes.
set -euo pipefail
d=$1
mkdir -p "$d/scans"
printf 'code,qty,when\n' > "$d/inventory.csv"
for i in $(seq 1 200); do printf '690%09d,%d,2026-12-%02d\n' "$i" $((i % 7 + 1)) $((i % 28 + 1)); done >> "$d/inventory.csv"
printf 'Terminal notes\nBattery OK.\n' > "$d/readme.txt"
printf '仓库盘点 第一批\n' > "$d/盘点.txt"
head -c 5000 /dev/urandom > "$d/firmware.bin"
printf 'long name\n' > "$d/delivery_note_2026_12.txt"
for i in 1 2 3; do printf 'scan %d\n' "$i" > "$d/scans/scan$i.log"; done
