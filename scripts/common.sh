# Shared by scripts/run and scripts/test: install what is missing, build.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# How this user runs a command as root, in the array as_root: nothing for
# root itself, sudo where it works (asking for the password only where there
# is a terminal to ask on). Fails where neither does, saying nothing.
find_root_runner() {
  as_root=()
  [ "$(id -u)" -eq 0 ] && return 0
  command -v sudo >/dev/null || return 1
  if sudo -n true 2>/dev/null; then
    as_root=(sudo -n)
    return 0
  fi
  [ -t 0 ] || return 1
  echo "Installing what Tobrel needs takes root: sudo asks for your password."
  sudo -v 2>/dev/null || return 1
  as_root=(sudo)
}

# ensure_system LOCALE PACKAGE...: installs, with apt, the Debian packages
# not installed yet, and generates LOCALE (such as en_US.UTF-8; empty for
# none) if the system lacks it. Where that needs root and this user cannot
# become root, prints the one command to hand to whoever runs the machine.
ensure_system() {
  local locale=$1; shift
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  local need_locale=
  if [ -n "$locale" ] && ! locale -a 2>/dev/null | grep -qix "${locale/UTF-8/utf8}"; then
    need_locale=$locale
  fi
  [ ${#missing[@]} -eq 0 ] && [ -z "$need_locale" ] && return 0

  local steps=()
  if [ ${#missing[@]} -gt 0 ]; then
    steps+=("apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ${missing[*]}")
  fi
  if [ -n "$need_locale" ]; then
    steps+=("(grep -qx '$need_locale UTF-8' /etc/locale.gen || echo '$need_locale UTF-8' >> /etc/locale.gen) && locale-gen")
  fi
  local script= step
  for step in "${steps[@]}"; do script+="${script:+ && }$step"; done
  if ! find_root_runner; then
    echo "Tobrel needs these Debian packages${need_locale:+ and the locale $need_locale},"
    echo "and installing them takes root, which this user cannot become. Ask whoever"
    echo "runs this machine to run, as root:"
    echo
    echo "  sh -c \"$script\""
    echo
    echo "then run this command again."
    exit 1
  fi
  [ ${#missing[@]} -gt 0 ] && echo "Installing ${#missing[@]} Debian packages: ${missing[*]}"
  [ -n "$need_locale" ] && echo "Generating the locale $need_locale"
  local log=$root/build/setup.log
  mkdir -p "$root/build"
  if ! "${as_root[@]}" sh -c "$script" >"$log" 2>&1; then
    tail -n 30 "$log"
    echo "Installing failed; the lines above say why (all of it is in $log)."
    exit 1
  fi
}

package_packages=(dpkg-dev file)
build_packages=(cmake make g++ pkgconf libxcb1-dev qt6-base-dev qt6-qpa-plugins qt6-wayland fonts-dejavu-core)
test_packages=(libgtest-dev xvfb xdotool xclip desktop-file-utils appstream "${package_packages[@]}" locales
  x11-utils fuse3 python3-fusepy at-spi2-core dbus-x11 python3-pyatspi weston wl-clipboard)

# build DIR [CMAKE OPTION...]: configures quietly, showing cmake's own words
# only when it fails, then builds.
build() {
  local dir=$1; shift
  mkdir -p "$dir"
  if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >"$dir/configure.log" 2>&1; then
    cat "$dir/configure.log"
    echo "Configuring the build failed; the lines above say why."
    return 1
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}
