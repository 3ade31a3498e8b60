# Shared by run.sh and test.sh (sourced): install the Debian packages that are
# missing, then configure and build. Quick when nothing changed.

spawnsmith_install() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# What building and running the tool needs.
SPAWNSMITH_PACKAGES=(cmake make g++ qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins nlohmann-json3-dev
                     fonts-liberation)

# configure DIR [cmake options...]: a Release build unless told otherwise.
spawnsmith_configure() {
    local dir=$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@"
    fi
}
