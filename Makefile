# The README's commands. Each installs what it needs, builds, and runs.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: deps build demo test asan-test bench package clean

deps:
	bash scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The main job: recognise the bundled example and show the result.
demo: build
	bash scripts/demo $(BUILD)

# Every test.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The unit and integration tests again under AddressSanitizer + UndefinedBehaviorSanitizer.
asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DMOREL_SANITIZE=ON -DMOREL_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE no_asan

# Debian packages of both programs, in $(BUILD)/ (see README, "Packages").
package: build
	cd $(BUILD) && cpack

bench: build
	bash bench/run $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
