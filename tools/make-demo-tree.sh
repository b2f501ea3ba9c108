#!/usr/bin/env bash
# Makes a small sample tree for a first scan: junk files of the patterns among ordinary
# files, some nested, some with Chinese names.  Usage: tools/make-demo-tree.sh DIR
set -euo pipefail
dir=${1:?usage: make-demo-tree.sh DIR}
mkdir -p "$dir"
cd "$dir"

file() {  # file PATH BYTES
  mkdir -p "$(dirname "$1")"
  head -c "$2" /dev/zero | tr '\0' 'k' >"$1"
}

file "说明.txt" 2048
file "report.doc" 40000
file "report.old" 40000
file "setup.tmp" 1500000
file "help/manual.gid" 12000
file "help/manual.hlp" 90000
file "下载/临时文件.tmp" 300000
file "下载/安装包.exe" 200000
file "下载/旧版/配置.old" 5000
file "projects/app/build/cache._mp" 70000
file "projects/app/build/main.obj" 80000
file "projects/app/notes.syd" 900
file "projects/app/src/main.c" 3000
file "照片/2025/假期/缩略图.tmp" 25000
file "照片/2025/假期/海边.jpg" 500000
file "空目录/.keep" 0
file "Windows/Temp/~DF3A2.tmp" 64000
file "Windows/Temp/install.log" 7000
echo "Demo tree ready in $dir"
