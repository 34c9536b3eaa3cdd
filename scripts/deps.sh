#!/bin/sh
# Installs what building, running and testing need (Debian bookworm, as root).
set -e
pkgs="build-essential cmake qtbase5-dev qtbase5-dev-tools libqt5xml5 fonts-noto-cjk fonts-dejavu-extra fonts-droid-fallback fonts-nanum xvfb xauth python3-xlib qttranslations5-l10n"
missing=""
for p in $pkgs; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi
