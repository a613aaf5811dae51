# Sourced: the wine that runs the Windows programs, the wineserver beside it, and Wine's
# name for a POSIX path (drive Z:).
QUENNET_WINE=/usr/lib/wine/wine64
[ -x "$QUENNET_WINE" ] || QUENNET_WINE=$(command -v wine64 || command -v wine)
QUENNET_WINESERVER=$(dirname "$QUENNET_WINE")/wineserver
quennet_winpath() {
    case $1 in
    /*) echo "Z:$1" | tr / '\\' ;;
    *) echo "$1" ;;
    esac
}
