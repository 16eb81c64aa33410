# Installs the Debian packages a step needs, and only those that are missing.
# Sourced by run-viewer.sh and run-tests.sh.

qv_need_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "== Installing Debian packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

QV_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libqt6test6
  qt6-qpa-plugins libgl-dev fonts-dejavu-core fonts-dejavu-extra libgtest-dev libgmock-dev libbenchmark-dev
  qt6-charts-dev)
QV_TEST_PACKAGES=(clang-14 libclang-rt-14-dev xvfb x11-utils gpsd libxml2-utils gpsbabel)
# scripts/make_statistics_picture.sh: a virtual display, its window list and a camera.
QV_PICTURE_PACKAGES=(xvfb x11-utils imagemagick python3)
