# Sourced by the scripts that start Wine: an isolated Wine prefix inside a build's folder and, when
# there is no display (or a private one is asked for), a private Xvfb. Never touches ~/.wine or
# the user's trash. Call wine_env_start <arch> <prefix-name> [fresh]; wine_env_stop tidies up.

# shellcheck source=arch.sh
source "$(dirname "${BASH_SOURCE[0]}")/arch.sh"

wine_env_start() {
    local build name="$2" fresh="${3:-}"
    build="$(qv_build_dir "$1")"
    qv_use_wine "$1"
    export WINEPREFIX="$build/$name"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export XDG_DATA_HOME="$build/$name-xdg/data" XDG_CONFIG_HOME="$build/$name-xdg/config"
    export XDG_CACHE_HOME="$build/$name-xdg/cache"
    mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    WINE_ENV_XVFB_PID=""

    if [ -z "${DISPLAY:-}" ] || [ -n "${QV_PRIVATE_DISPLAY:-}" ]; then
        local n
        for n in $(seq 77 140); do
            [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
            Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
            WINE_ENV_XVFB_PID=$!
            export DISPLAY=":$n"
            local i
            for i in $(seq 1 50); do
                [ -e "/tmp/.X11-unix/X$n" ] && break
                sleep 0.1
            done
            if kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then
                break
            fi
            WINE_ENV_XVFB_PID=""
        done
        if [ -z "$WINE_ENV_XVFB_PID" ]; then
            echo "Could not start Xvfb" >&2
            return 1
        fi
    fi

    if [ -n "$fresh" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating the Wine prefix $WINEPREFIX ..."
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    # A persistent server keeps later launches fast.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p
}

wine_env_stop() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    fi
}
