# Sourced by the bench scripts from the repository's top: installs what is missing and builds the
# Release vandrel-convert with its Qt decoder module in build-bench/ (or $build when set first).
# Leaves $build and $program, the program's absolute path.
build=${build:-build-bench}
bash scripts/install-deps.sh build bench >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_BUILD_TESTS=OFF \
  -DVANDREL_BUILD_APP=OFF ${VANDREL_BENCH_CMAKE_ARGS:-} >&2
cmake --build "$build" -j2 --target vandrel-convert vandrel-qt-decoder >&2
program=$PWD/$build/cli/vandrel-convert
