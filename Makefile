# The README's commands. Each installs what it needs, builds, and runs.
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
RELEASE_BUILD ?= build-release
JOBS ?= 2
CMAKE_FLAGS ?=
# Warnings are errors here and in CI; a plain cmake build (a packager's) keeps them warnings.
# Compiles go through ccache where it is installed (scripts/install-deps installs it): the
# test builds share most files. Expanded by the shell, after deps has run.
OUR_FLAGS = -DMOREL_WERROR=ON \
  $$(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

.PHONY: deps configure build demo test asan-test tsan-test release package debian13-test bench clean

deps:
	bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(OUR_FLAGS) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The main job: recognise the bundled example and show the result. Builds only the programs.
demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target ocr morel_xy_host
	bash scripts/demo $(BUILD)

# Every test.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The unit and integration tests again under AddressSanitizer + UndefinedBehaviorSanitizer.
asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DMOREL_SANITIZE=ON -DMOREL_BUILD_BENCH=OFF $(OUR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE no_asan

# ocr's tests again under ThreadSanitizer: its page workers run in threads. Builds only ocr,
# and runs the unit tests and the documents that go through the page workers (PDFs): images
# are read on the calling thread alone.
tsan-test: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DMOREL_SANITIZE_THREAD=ON -DMOREL_BUILD_BENCH=OFF $(OUR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target ocr ocr_unit_tests
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 tests/unit/ocr/ocr_unit_tests
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -L page_workers

# The programs as a packager builds them (Release: -O3), warnings still errors.
release: deps
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DMOREL_BUILD_TESTS=OFF -DMOREL_BUILD_BENCH=OFF $(OUR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(RELEASE_BUILD) -j $(JOBS)

# Debian packages of both programs, in $(BUILD)/ (see README, "Packages").
package: build
	cd $(BUILD) && cpack

# The same on Debian 13, in a root of the project's own (scripts/debian13-root; made once and
# kept): the demo, the unit, integration and package tests, and the packages, with Debian 13's
# compiler and libraries, in $(DEBIAN13_BUILD).
DEBIAN13_BUILD ?= build-debian13
debian13-test:
	bash scripts/debian13-root run make demo BUILD=$(DEBIAN13_BUILD) CMAKE_FLAGS="-DMOREL_BUILD_BENCH=OFF $(CMAKE_FLAGS)"
	bash scripts/debian13-root run make package BUILD=$(DEBIAN13_BUILD) CMAKE_FLAGS="-DMOREL_BUILD_BENCH=OFF $(CMAKE_FLAGS)"
	bash scripts/debian13-root run bash -c 'cd $(DEBIAN13_BUILD) && ctest --output-on-failure -j $(JOBS) -L "unit|integration|package"'

bench: build
	bash bench/run $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(RELEASE_BUILD) $(DEBIAN13_BUILD)
