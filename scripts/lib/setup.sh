# Shared by the scripts: installing what the build and tests need on a fresh Debian machine, and
# starting the display and Wine prefix the Windows programs run in.

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

debian_packages=(
    cmake ninja-build python3 git g++ dpkg-dev zlib1g-dev libssl-dev libarchive-tools libdeflate-dev
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    gcc-mingw-w64-i686-posix gcc-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    libz-mingw-w64-dev googletest
    wine wine64 fonts-wine xvfb xauth
    clang libclang-rt-14-dev
    osslsigncode openssl libarchive-tools
)

# Where scripts/build-libzip installs libzip for each MinGW target; cmake/Libzip.cmake looks there.
libzip_cache_root() {
    echo "${XDG_CACHE_HOME:-$HOME/.cache}/fennimark/libzip"
}

# Where scripts/build-libdeflate installs libdeflate for each MinGW target; cmake/Libdeflate.cmake looks there.
libdeflate_cache_root() {
    echo "${XDG_CACHE_HOME:-$HOME/.cache}/fennimark/libdeflate"
}

sudo_if_needed() {
    if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi
}

# `apt-get source` needs a deb-src entry; a fresh machine has only binary ones. Adds the source
# twin of every Debian entry in a file of our own, leaving the machine's own files as they are.
ensure_deb_src() {
    grep -rqsE '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null && return 0
    local sources
    echo "== adding a deb-src entry" >&2
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sources=$(sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources)
        echo "$sources" | sudo_if_needed tee /etc/apt/sources.list.d/fennimark-deb-src.sources >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
        sources=$(sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' /etc/apt/sources.list)
        echo "$sources" | sudo_if_needed tee /etc/apt/sources.list.d/fennimark-deb-src.list >/dev/null
    else
        echo "no Debian package source found to copy" >&2
        return 1
    fi
    sudo_if_needed apt-get update -qq -o DPkg::Lock::Timeout=600
}

install_missing_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The 64-bit loader: the `wine` wrapper would look for the 32-bit one, which cannot run here.
wine64_loader=/usr/lib/wine/wine64

# Wine's 32-bit Windows DLLs, which Debian's 64-bit Wine lacks: with them Wine runs the 32-bit
# product in its WoW64 mode. They come from the libwine:i386 package of exactly the installed
# version, downloaded with private package lists (the machine's dpkg architectures stay as they
# are) and unpacked once into the cache, keyed by that version. Prints the folder for WINEDLLPATH.
wow64_dll_folder() {
    local version cache folder apt_opts
    version=$(dpkg-query -W -f='${Version}' libwine)
    cache="${XDG_CACHE_HOME:-$HOME/.cache}/fennimark/wow64-$version"
    folder="$cache/usr/lib/i386-linux-gnu/wine"
    if [ ! -e "$folder/i386-windows/kernel32.dll" ]; then
        echo "== downloading Wine's 32-bit Windows DLLs (libwine:i386 $version), once" >&2
        rm -rf "$cache"
        mkdir -p "$cache/lists/partial" "$cache/debs/archives/partial"
        apt_opts=(-o APT::Architectures::=amd64 -o APT::Architectures::=i386 -o APT::Sandbox::User=root
                  -o Dir::State::Lists="$cache/lists" -o Dir::Cache="$cache/debs")
        apt-get "${apt_opts[@]}" update -qq >&2
        local available
        available=$(apt-cache "${apt_opts[@]}" madison libwine:i386 | awk -F'|' '{gsub(/ /, "", $2); print $2}')
        if ! grep -qxF "$version" <<<"$available"; then
            echo "The installed Wine is libwine $version, but Debian's archive offers libwine:i386 only in" \
                 "version(s): ${available:-none}. The 32-bit product cannot be tested without the same" \
                 "version; install a matching Wine or wait for the archive." >&2
            rm -rf "$cache"
            return 1
        fi
        (cd "$cache" && apt-get "${apt_opts[@]}" download -qq "libwine:i386=$version") >&2
        dpkg-deb --fsys-tarfile "$cache"/libwine_*_i386.deb |
            tar -x -C "$cache" ./usr/lib/i386-linux-gnu/wine/i386-windows
        rm -f "$cache"/libwine_*_i386.deb
        rm -rf "$cache/lists" "$cache/debs"
        # DLLs with a Unix side (the display driver among them) look for it beside themselves.
        ln -sfn /usr/lib/x86_64-linux-gnu/wine/x86_64-unix "$folder/x86_64-unix"
    fi
    echo "$folder"
}

# Starts Xvfb on a free display and a persistent wineserver for a new prefix in $1, with Wine's
# 32-bit DLLs on WINEDLLPATH. Sets DISPLAY, WINEPREFIX, WINEDEBUG, WINEDLLPATH;
# stop_windows_environment undoes it all. Stops the script with a message when a step fails.
start_windows_environment() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    local dlls
    dlls=$(wow64_dll_folder) || exit 1
    export WINEDLLPATH="$dlls" WINEARCH=win64
    local display=99
    while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
        display=$((display + 1))
    done
    Xvfb ":${display}" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":${display}"
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X${display}" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -e "/tmp/.X11-unix/X${display}" ]; then
        echo "Xvfb did not start on display :${display}; the Windows tests need a display." >&2
        exit 1
    fi
    mkdir -p "$WINEPREFIX"
    local boot_log="$WINEPREFIX.wineboot.log"
    if ! "$wine64_loader" wineboot -i >"$boot_log" 2>&1; then
        echo "wineboot could not prepare the Wine prefix $WINEPREFIX:" >&2
        WINEDEBUG= tail -20 "$boot_log" >&2
        exit 1
    fi
    rm -f "$boot_log"
    # A crash must end the program, not start Wine's debugger and wait: in both registry views.
    local key
    for key in 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
               'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug'; do
        "$wine64_loader" reg add "$key" /v Debugger /t REG_SZ /d false /f >/dev/null 2>&1 || {
            echo "Could not turn Wine's crash debugger off ($key)." >&2; exit 1; }
    done
    # Kept alive for the whole run, so each program starts in a fraction of a second.
    wineserver -p >/dev/null 2>&1 </dev/null &
}

stop_windows_environment() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# libzip and libdeflate for both MinGW targets: built once from Debian's sources, then taken from
# the cache.
build_libzip_for_windows() {
    local triple
    for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
        "$repo_root/scripts/build-libzip" "$triple" >/dev/null
        "$repo_root/scripts/build-libdeflate" "$triple" >/dev/null
    done
}

# Configures and builds one Windows preset (windows-x86, the product; windows-x64, the tested build).
build_windows_preset() {
    (cd "$repo_root" && cmake --preset "$1" >/dev/null && cmake --build --preset "$1")
}
