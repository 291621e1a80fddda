# Sourced: a Wine prefix of the project's own, never the user's.
# new_wine_prefix DIR [null]: makes DIR a fresh prefix; "null" selects Wine's null graphics driver,
# so windows can be created and driven with no display.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

new_wine_prefix() {
    local prefix=$1 driver=${2:-}
    rm -rf "$prefix"
    mkdir -p "$prefix"
    WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1 || true
    # Debian's Wine does not find its own fonts (Marlett draws the caption buttons).
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    if [ "$driver" = null ]; then
        WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    else
        # With no window manager under Xvfb, Wine draws the window frames itself.
        WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
        WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    fi
    WINEPREFIX=$prefix wineserver -w
}
