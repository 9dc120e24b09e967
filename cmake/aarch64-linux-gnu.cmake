# Cross build for arm64 (aarch64) Linux handhelds with Debian's multiarch packages:
# crossbuild-essential-arm64 and the :arm64 -dev packages (scripts/install-deps --arm64).
# Test programs run under qemu-aarch64-static, which needs no binfmt registration.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config CACHE FILEPATH "pkg-config for arm64")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)
# Headers and libraries of the target only; programs (python3, rsvg-convert) of the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# The Debian architecture the package is built for.
set(NALO_DEB_ARCHITECTURE arm64)
