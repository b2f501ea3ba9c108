# Shared by the scripts: where things are, what to install, the Wine prefixes.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

BUILD_PACKAGES="cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64"
TEST_PACKAGES="googletest"
RUN_PACKAGES="wine wine64 xvfb xauth fonts-wqy-microhei locales imagemagick x11-apps"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs whichever of the named Debian packages are missing.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
  fi
}

# Wine reads file names and the ANSI code page (936) from this glibc locale.
ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}

wine_env() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=zh_CN.UTF-8
}

# A prefix of the project's own: no Z: drive, a virtual desktop so that the program's own
# frame shows, Chinese font replacements, no crash dialog.
setup_prefix() {
  wine_env "$1"
  if [ -f "$WINEPREFIX/.kelvaro-ready" ]; then
    return
  fi
  echo "Preparing the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine wineboot --init >/dev/null 2>&1
  wineserver -w
  rm -f "$WINEPREFIX/dosdevices/z:"
  local reg=(wine reg add)
  "${reg[@]}" 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "${reg[@]}" 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "${reg[@]}" 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  local face
  for face in 宋体 微软雅黑 SimSun "Microsoft YaHei"; do
    "${reg[@]}" 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.kelvaro-ready"
}
