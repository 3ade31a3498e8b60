#!/usr/bin/env bash
# Runs a Windows program under Wine, on Wine's own desktop (1280 x 1024), the way
# the Windows build's tests run (CTest uses this as its emulator):
#   tools/wine-run.sh PROGRAM.exe [ARGUMENTS...]
# Needs an X server in DISPLAY. Environment:
#   SPAWNSMITH_WINE_DIR   folder for the Wine prefixes (required)
#   SPAWNSMITH_WINE_DPI   display scaling in dots per inch: 96 is 100 %,
#                         144 is 150 % (default 96); one prefix per value
#   SPAWNSMITH_WINE_PATH  folders for DLLs, separated by ':' (optional)
set -euo pipefail
dpi=${SPAWNSMITH_WINE_DPI:-96}
export WINEPREFIX=$SPAWNSMITH_WINE_DIR/prefix-$dpi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
wine=/usr/lib/wine/wine64 # Debian's plain `wine` asks for the 32-bit part too

mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX.lock" # tests run in parallel; one of them makes the prefix
flock 9
if [ ! -f "$WINEPREFIX/.spawnsmith" ]; then
    # No Mono or Gecko: nothing here needs them, and they would be downloaded.
    WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot --init
    reg() { "$wine" reg add "$@" /f >/dev/null; }
    reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
    reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024
    reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
    # With no console, Qt on Windows sends test output and warnings to the
    # debugger. Wine keeps QT_ variables of the Linux side from Windows
    # programs, so this one is set on the Windows side.
    reg 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /d 1
    # Debian's Wine looks for its own fonts (fonts-wine: Tahoma, MS Sans Serif)
    # outside the folder they are installed in, and then draws every face it
    # lacks in some fallback. Windows keeps them in C:\windows\Fonts, so they
    # go there. Arial, which Windows has and Wine has not, is Liberation Sans,
    # a face with Arial's metrics, under Arial's name.
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    reg 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans'
    "$wine" wineboot --shutdown
    /usr/lib/wine/wineserver -w
    touch "$WINEPREFIX/.spawnsmith"
fi
flock -u 9

if [ -n "${SPAWNSMITH_WINE_PATH:-}" ]; then
    IFS=: read -ra folders <<<"$SPAWNSMITH_WINE_PATH"
    WINEPATH=$(printf 'Z:%s;' "${folders[@]}")
    export WINEPATH=${WINEPATH%;}
fi
exec "$wine" "$@"
