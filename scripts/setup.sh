#!/bin/sh
# Installs the Debian packages Kestra needs to build, run and test.
# Idempotent and quiet: prints nothing when everything is already there.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config
qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
libsimpleini-dev libgsf-1-dev libxml2-dev libssl-dev
libgtest-dev libgmock-dev libbenchmark-dev
xvfb xauth imagemagick xdotool poppler-utils fonts-dejavu-core fonts-liberation2
libcups2-dev cups librsvg2-bin dpkg-dev lintian desktop-file-utils"

missing=""
for p in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done

[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
