#!/usr/bin/env bash
# Installs what the project needs to build and test on Debian 12, skipping
# whatever is already installed. Safe to run again; needs root (or sudo).
set -euo pipefail

# The rosidl packages ship code-generator templates and scripts that this
# project never uses; keep them off the machine.
exclude_file=/etc/dpkg/dpkg.cfg.d/zorv-interfaces-no-rosidl-generators
exclude_text='# Installed by zorv_interfaces scripts/setup.sh: rosidl generator
# templates and scripts are never used by this project.
path-exclude=/usr/share/rosidl_typesupport_introspection_c*/resource/*
path-exclude=/usr/libexec/rosidl/*'

packages=(
  librosidl-runtime-c-cpp-dev
  librosidl-typesupport-introspection-c-cpp-dev
  librcutils-dev
  ament-cmake
  python3
  g++
  clang
  libclang-rt-14-dev
  cmake
  ninja-build
  make
  binutils
  libgtest-dev
  libbenchmark-dev
  valgrind
)

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi

if [ "$(cat "$exclude_file" 2>/dev/null)" != "$exclude_text" ]; then
  printf '%s\n' "$exclude_text" | "${sudo[@]}" tee "$exclude_file" >/dev/null
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Files excluded above may predate the exclusion (installed earlier by hand):
# remove any that are still present.
for dir in /usr/share/rosidl_typesupport_introspection_c*/resource /usr/libexec/rosidl; do
  if [ -d "$dir" ]; then
    "${sudo[@]}" rm -rf "$dir"
  fi
done
echo "setup: all dependencies present"
