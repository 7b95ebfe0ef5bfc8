#!/usr/bin/env bash
# Installs the Debian packages the build, the tests or the program need,
# when any of them is missing. Sourced by run.sh and test.sh.

# What test.sh needs beyond the build: clang 14 and its libFuzzer runtime for
# the fuzz targets, strace for the kill loop, a PostgreSQL server for the
# shared people book.
BORVESSA_TEST_DEPS=(clang-14 libclang-rt-14-dev strace postgresql)

borvessa_install_deps() {
    local wanted=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools
                  libqt6svg6 libssl-dev libgif-dev libbenchmark-dev
                  poppler-utils fonts-dejavu-core desktop-file-utils appstream
                  libcups2-dev cups printer-driver-cups-pdf ghostscript
                  libqt6sql6-sqlite libqt6sql6-psql "$@")
    local missing=()
    local p
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing missing packages: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}
