# Shared by run.sh and test.sh (sourced, not run): the Debian packages, the build directory and
# the build itself, so both commands set the machine up the same way.

QUENTAR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUENTAR_BUILD="${QUENTAR_BUILD_DIR:-build}"
case "$QUENTAR_BUILD" in
/*) ;;
*) QUENTAR_BUILD="$QUENTAR_ROOT/$QUENTAR_BUILD" ;;
esac

# Everything the program, its tests and the later PDF and window work need, installed once now so
# that a new dependency never makes a set-up machine go back to apt.
QUENTAR_PACKAGES=(
    build-essential g++ cmake ninja-build pkg-config
    zlib1g-dev libjpeg-dev libfreetype-dev libfontconfig-dev libgtest-dev libbenchmark-dev
    libpolyclipping-dev
    qt6-base-dev fonts-liberation2 fonts-dejavu-core
    qpdf poppler-utils xvfb xauth desktop-file-utils python3-ezdxf python3-matplotlib python3-numpy
)

quentar_install_packages() {
    local missing=() p
    for p in "${QUENTAR_PACKAGES[@]}" "$@"; do
        [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" = "install ok installed" ] ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then
            sudo=(sudo)
        else
            echo "quentar: missing packages (${missing[*]}); run as root to install them" >&2
            return 1
        fi
    fi
    echo "quentar: installing ${missing[*]}" >&2
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures only once: a configured tree regenerates itself when a CMakeLists.txt changes, so
# later calls cost one ninja no-op check.
quentar_build() {
    if [ ! -f "$QUENTAR_BUILD/build.ninja" ]; then
        cmake -S "$QUENTAR_ROOT" -B "$QUENTAR_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ||
            return 1
    fi
    ninja -C "$QUENTAR_BUILD" "$@"
}
