# Sourced by the build scripts: installs the Debian packages that are missing.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}" >&2
  # Progress goes to stderr, so that a command's redirected output holds only
  # its result.
  "${sudo[@]}" apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >&2
}

# What building the program needs: PNG rows are deflated by libdeflate; the
# label font is found through fontconfig (DejaVu Sans where Verdana is
# missing). The window needs Qt 6 Widgets; Qt's CMake package requires the OpenGL headers (libgl-dev), and a
# Wayland session is served natively by qt6-wayland. The window's catalogues
# (translations/*.ts) are compiled with lrelease (qt6-l10n-tools) through
# Qt's LinguistTools CMake package (qt6-tools-dev); Qt's own catalogues
# (qt6-translations-l10n) translate its standard buttons and file dialog. The
# window's face is Tahoma; fonts-wine has a free one with its metrics, which
# the window loads itself (DejaVu Sans, wider, cuts German and French texts).
# SVG and PDF pictures are drawn with cairo (libcairo2-dev).
KURVANA_BUILD_PACKAGES=(g++ cmake ninja-build pkgconf libfreetype-dev libfontconfig-dev
  libjpeg62-turbo-dev libpng-dev libdeflate-dev fonts-dejavu-core qt6-base-dev libgl-dev qt6-wayland
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n fonts-wine libcairo2-dev)
# What running the window on a virtual screen and driving it needs: the X
# server, synthetic input and screenshots (import, compare).
KURVANA_SCREEN_PACKAGES=(xvfb xdotool imagemagick)
# The desktops the window is tested under: a window manager on the virtual
# screen (openbox; xprop tells when it manages) and a Wayland compositor with
# a headless backend (weston; qt6-wayland above is Qt's plugin for it).
KURVANA_DESKTOP_PACKAGES=(openbox x11-utils weston)
# What checking an install needs: the entry validator, the MIME database and
# xdg-mime, which outside a desktop session asks `mimetype` (libfile-mimeinfo-perl,
# only recommended by xdg-utils) and otherwise falls back to libmagic, blind to
# the installed types; xmllint and rsvg-convert for the SVG icon.
KURVANA_INSTALL_CHECK_PACKAGES=(desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl
  libxml2-utils librsvg2-bin)
# What building the benchmarks needs: the library, and for the probes that
# time the window from outside, on the X server, the X headers with the
# shared-memory screenshots (libxext-dev) and synthetic input (libxtst-dev).
KURVANA_BENCH_PACKAGES=(libbenchmark-dev libx11-dev libxext-dev libxtst-dev)
# What building and running the tests and benchmarks needs besides; locales
# provides the sources of the decimal-comma locale the tests build for themselves;
# the vector pictures are rasterised for comparison by rsvg-convert
# (librsvg2-bin) and pdftoppm (poppler-utils).
KURVANA_TEST_PACKAGES=(libgtest-dev "${KURVANA_BENCH_PACKAGES[@]}" locales "${KURVANA_SCREEN_PACKAGES[@]}"
  "${KURVANA_DESKTOP_PACKAGES[@]}" "${KURVANA_INSTALL_CHECK_PACKAGES[@]}" librsvg2-bin poppler-utils)

# The words as a shell line that gives them back: plain words as they are,
# others in single quotes.
shell_words() {
  local out=() word
  for word in "$@"; do
    if [[ "$word" =~ ^[A-Za-z0-9._/=+,:@%-]+$ ]]; then
      out+=("$word")
    else
      out+=("'${word//\'/\'\\\'\'}'")
    fi
  done
  echo "${out[*]}"
}
