# Sourced by the scripts that build (main.sh, test.sh, release.sh):
#
#   configure_tree DIR KIND [-DNAME=VALUE...]
#
# configures the build tree DIR with exactly the options given, whatever
# configured it before. KIND is the compiler the tree needs: "windows" (the
# mingw toolchain, for porvane.xpi), "native" (the system's compiler) or
# "clang" (native, for the fuzz targets). CMake keeps a tree's compiler from
# its first configuration, so a tree made for another one is configured
# afresh; every other setting comes from the options, never from the cache.
# Run from the top of the checkout.

cached() {  # DIR NAME: the value of a cache entry, empty when there is none
    sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt" 2>/dev/null
}

configure_tree() {
    local dir=$1 kind=$2
    shift 2
    local toolchain="$PWD/cmake/mingw-i686.cmake" fits=no
    if [ -f "$dir/CMakeCache.txt" ]; then
        local cached_toolchain cached_compiler
        cached_toolchain=$(cached "$dir" CMAKE_TOOLCHAIN_FILE)
        cached_compiler=$(cached "$dir" CMAKE_CXX_COMPILER)
        case $kind in
            windows) [ "$cached_toolchain" = "$toolchain" ] && fits=yes ;;
            native) [ -z "$cached_toolchain" ] && fits=yes ;;
            clang) [ -z "$cached_toolchain" ] && [[ $cached_compiler == *clang++* ]] && fits=yes ;;
        esac
    fi
    local first=()
    if [ $fits = no ]; then
        first=(--fresh)
        case $kind in
            windows) first+=("-DCMAKE_TOOLCHAIN_FILE=$toolchain") ;;
            clang) first+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
        esac
    fi
    cmake -S . -B "$dir" "${first[@]}" "$@" >/dev/null
}
