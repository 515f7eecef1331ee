# Shared by scripts/run and scripts/test: install what is missing, build.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# ensure_packages PACKAGE...: installs, with apt, those not installed yet.
ensure_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "These Debian packages are missing, and installing them needs root:"
      echo "  ${missing[*]}"
      echo "Ask whoever runs this machine to install them (as root:"
      echo "  apt-get install --no-install-recommends ${missing[*]}"
      echo "), then run this command again."
      exit 1
    fi
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

package_packages=(dpkg-dev file)
build_packages=(cmake make g++ qt6-base-dev qt6-qpa-plugins qt6-wayland fonts-dejavu-core)
test_packages=(libgtest-dev xvfb xdotool xclip desktop-file-utils appstream "${package_packages[@]}" locales
  fuse3 python3-fusepy at-spi2-core dbus-x11 python3-pyatspi weston wl-clipboard)

# ensure_locale NAME: generates a locale (such as en_US.UTF-8) if the system
# lacks it; the benchmark sorts under it beside the C locale.
ensure_locale() {
  local wanted=${1/UTF-8/utf8}
  locale -a 2>/dev/null | grep -qix "$wanted" && return 0
  echo "Generating the locale $1"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "The locale $1 is missing, and making it needs root. Ask whoever runs"
      echo "this machine to add '$1 UTF-8' to /etc/locale.gen and run locale-gen"
      echo "as root, then run this command again."
      exit 1
    fi
    sudo=(sudo)
  fi
  "${sudo[@]}" sh -c "grep -qx '$1 UTF-8' /etc/locale.gen || echo '$1 UTF-8' >> /etc/locale.gen; locale-gen >/dev/null"
}

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
