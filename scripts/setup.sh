#!/usr/bin/env bash
# Installs what the project needs on Debian 12, skipping whatever is already
# installed, so a second run installs nothing. Usage: setup.sh [demo|test]
#   demo  what building and running the demo needs
#   test  the same, plus the compilers and tools the test suites use
# Needs root (or sudo) only when something is missing.
set -euo pipefail

demo_packages=(
  g++ cmake ninja-build make python3 binutils
  librosidl-runtime-c-cpp-dev librosidl-typesupport-introspection-c-cpp-dev
  librcutils-dev ament-cmake cyclonedds-dev cyclonedds-tools libyaml-dev
)
test_packages=(
  "${demo_packages[@]}"
  clang libclang-rt-14-dev libgtest-dev libbenchmark-dev valgrind
  nlohmann-json3-dev iproute2
)

# librosidl-typesupport-introspection-c-cpp-dev also ships the rosidl code
# generator's templates (resource/) and scripts (libexec), which this project
# never uses. When setup installs it, dpkg is told to leave exactly those out.
# Nothing else that setup installs owns files there.
generator_package=librosidl-typesupport-introspection-c-cpp-dev
exclude_file=/etc/dpkg/dpkg.cfg.d/zorv-interfaces-no-rosidl-generators
exclude_text='# Written by zorv_interfaces scripts/setup.sh: the rosidl introspection
# code-generator templates and scripts are never used by that project.
path-exclude=/usr/share/rosidl_typesupport_introspection_c*/resource/*
path-exclude=/usr/libexec/rosidl/rosidl_typesupport_introspection_c*'

case "${1-test}/$#" in
  demo/[01]) packages=("${demo_packages[@]}") ;;
  test/[01]) packages=("${test_packages[@]}") ;;
  *) echo "usage: $0 [demo|test]" >&2; exit 2 ;;
esac

installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" = "install ok installed" ]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all dependencies present"
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  # -n: fail rather than wait for a password that nobody will type.
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    sudo=(sudo)
  else
    echo "setup: not root and no usable sudo; missing ${missing[*]}; as root run: apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
fi

# Only on a machine that is about to get the generator files for the first
# time; an installed package keeps its files, and an earlier file stays as is.
if [[ " ${missing[*]} " == *" $generator_package "* ]] && [ ! -e "$exclude_file" ]; then
  printf '%s\n' "$exclude_text" | "${sudo[@]}" tee "$exclude_file" >/dev/null
  echo "setup: wrote $exclude_file so dpkg leaves out the rosidl generator templates; to undo: rm that file, then apt-get install --reinstall $generator_package"
fi

echo "setup: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
