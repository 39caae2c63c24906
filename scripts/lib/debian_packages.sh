# shellcheck shell=bash
# Sourced by the scripts that install what they need from Debian's packages.
# install_debian_packages TAG PACKAGE...: installs those of the packages not yet installed,
# as root or through sudo, and says which on stderr, prefixed with TAG.
install_debian_packages() {
  local tag=$1 package missing=()
  shift
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "$tag: installing ${missing[*]}" >&2
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
