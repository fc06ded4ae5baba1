# Shared by ./run and ./test: install what is missing, then configure and build one tree.
# Usage: source tools/setup.sh; pelicard_install; pelicard_build DIR [CMAKE ARGS...]

PELICARD_PACKAGES=(build-essential cmake pkg-config qt6-base-dev libgl-dev libhidapi-dev
    libgtest-dev libgmock-dev fonts-liberation2 fonts-dejavu-core libxcursor1 poppler-utils)

pelicard_install() {
    local missing=()
    for pkg in "${PELICARD_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q || return 1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

pelicard_build() {
    local dir="$1"; shift
    cmake -S "$PELICARD_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null || return 1
    cmake --build "$dir" -j2
}
