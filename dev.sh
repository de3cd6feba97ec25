#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds, then runs the program on the simulator
# ("./dev.sh run") or runs every test ("./dev.sh test"). "./dev.sh ci-setup" also installs
# what .ci/run needs beyond that (clang and its libFuzzer and sanitizer runtimes).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
    build-essential cmake pkg-config
    qtbase5-dev qtdeclarative5-dev libqt5serialport5-dev
    qml-module-qtquick2 qml-module-qtquick-controls qml-module-qtquick-dialogs
    qml-module-qtquick-layouts qml-module-qtquick-window2 qml-module-qtqml-models2
    qml-module-qttest
    libboost-dev libkf5archive-dev libprotobuf-dev protobuf-compiler
    fonts-open-sans qtdeclarative5-dev-tools
    bash-completion
    qttools5-dev qttools5-dev-tools qttranslations5-l10n
)
CI_PACKAGES=(clang libclang-rt-14-dev lintian)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j"$(nproc)"
}

case "${1:-}" in
    run)
        install_missing
        build
        exec ./tools/ktbridge-sim/run-demo.sh build
        ;;
    ci-setup)
        PACKAGES+=("${CI_PACKAGES[@]}")
        install_missing
        ;;
    test)
        install_missing
        build
        cd build
        exec ctest --output-on-failure -j"$(nproc)"
        ;;
    *)
        echo "Usage: $0 run|test|ci-setup" >&2
        exit 2
        ;;
esac
