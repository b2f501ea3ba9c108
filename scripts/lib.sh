# Shared by the scripts: where things are, what to install, the Wine prefixes.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

BUILD_PACKAGES="cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 nsis googletest"
RUN_PACKAGES="wine wine64 wine32:i386 xvfb xauth fonts-wqy-microhei locales imagemagick x11-apps xdotool"

# Starts 64-bit programs by their Unix path (plain `wine` is the 32-bit loader once wine32
# is installed, and that one cannot). Debian's wine64 package puts it there.
WINE64=/usr/lib/wine/wine64

# Whether this machine runs 32-bit programs at all: a kernel without 32-bit emulation refuses
# to start the 32-bit loader ("Exec format error"), and with it the 32-bit build and the
# installer (NSIS makes a 32-bit program).
runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs whichever of the named Debian packages are missing. 32-bit Wine (wine32:i386)
# runs the 32-bit build and the installer; it needs the i386 architecture enabled first.
ensure_packages() {
  local missing=() p
  case " $* " in
    *":i386 "*)
      if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
      fi ;;
  esac
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
  fi
}

# Wine takes the system's ANSI code page from LC_ALL, and reads file names and command lines
# through that glibc locale, which must exist. The tests run under Chinese (code page 936),
# English (1252) and Traditional Chinese (950) systems.
TEST_LOCALES="zh_CN.UTF-8 en_US.UTF-8 zh_TW.UTF-8"
ensure_locale() {
  local loc missing=0
  for loc in $TEST_LOCALES; do
    if ! locale -a 2>/dev/null | grep -qix "${loc%.UTF-8}.utf8"; then
      missing=1
      grep -q "^$loc UTF-8" /etc/locale.gen 2>/dev/null ||
        echo "$loc UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    fi
  done
  if [ $missing -eq 1 ]; then
    as_root locale-gen >/dev/null
  fi
}

wine_env() {
  # A 64-bit prefix that runs 32-bit programs too; without WINEARCH, Debian's wine makes a
  # 32-bit one once wine32 is installed.
  export WINEARCH=win64 WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=zh_CN.UTF-8
}

# A prefix of the project's own: no Z: drive, a virtual desktop so that the program's own
# frame shows, Chinese font replacements, no crash dialog.
setup_prefix() {
  wine_env "$1"
  # A prefix made before 32-bit Wine was there cannot run 32-bit programs: made anew.
  if [ -f "$WINEPREFIX/.kelvaro-ready-win64" ]; then
    return
  fi
  rm -rf "$WINEPREFIX"
  echo "Preparing the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$WINE64" wineboot --init >/dev/null 2>&1
  wineserver -w
  rm -f "$WINEPREFIX/dosdevices/z:"
  local reg=("$WINE64" reg add)
  "${reg[@]}" 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "${reg[@]}" 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "${reg[@]}" 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  local face
  for face in 宋体 微软雅黑 SimSun "Microsoft YaHei"; do
    "${reg[@]}" 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.kelvaro-ready-win64"
}
