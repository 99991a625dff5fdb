# Package lists, sourced by the other scripts.
# shellcheck disable=SC2034
NATIVE_PACKAGES="cmake ninja-build g++ libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev binutils zip"
RELEASE_PACKAGES="valgrind libbenchmark-dev"
# Test-only: Node.js holds the link check against a browser-grade URL parser; rsvg-convert and
# xmllint read the pictures hostsim draws; mkfs.btrfs makes the copy-on-write disk the launch
# record is tried on (as root).
TEST_PACKAGES="nodejs librsvg2-bin libxml2-utils btrfs-progs"
# The fuzzers also need the clang runtime of the installed clang (scripts/fuzz.sh adds it).
FUZZ_PACKAGES="clang"
# The host build in the host's (Visual C++) ABI: clang's MSVC target with lld-link and LLVM's
# tools, libc++'s headers of that clang, Wine's C run-time and Windows headers.
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest wixl osslsigncode openssl
  clang lld llvm libc++-14-dev libwine-dev faketime msitools"
