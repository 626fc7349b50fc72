#!/usr/bin/env bash
# Installs what building and testing the calculator needs on Debian 12.
set -euo pipefail
packages=(
  build-essential cmake
  libcli11-dev libgtest-dev
  qt6-base-dev qt6-qpa-plugins libgl1-mesa-dev fonts-dejavu-core
)
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q "${packages[@]}"
