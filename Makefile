# landscape: make run, make test. Each installs what it needs first.

BUILD     ?= build
ASAN      ?= build-asan
JOBS      ?= 2
# A directory with height.png and color.png to fly over instead of the
# built-in landscape (docs/CUSTOM_LANDSCAPE.md); empty: the built-in one.
TERRAIN   ?=
# Where `make export-landscape` writes the compiled-in landscape's PNGs.
EXPORT    ?= terrain


CMAKE_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDSCAPE_TESTS=ON -DLANDSCAPE_CORE_ONLY=OFF
# Always passed, empty when TERRAIN is unset, so that a build directory
# switches back to the built-in landscape.
TERRAIN_FLAG = -DLANDSCAPE_TERRAIN=$(if $(strip $(TERRAIN)),$(abspath $(TERRAIN)))

BUILD_PACKAGES = g++ make cmake libsdl1.2-dev libpng-dev
TEST_PACKAGES  = $(BUILD_PACKAGES) libgtest-dev xvfb xauth xdotool libsdl1.2-compat
BENCH_PACKAGES = $(BUILD_PACKAGES) libgtest-dev libbenchmark-dev
# The ARM check also builds the program for x86 to compare screenshots with,
# and runs both under Xvfb; Debian's armel SDL is unpacked in the build tree.
ARM_PACKAGES   = $(BUILD_PACKAGES) crossbuild-essential-armel qemu-user googletest libgtest-dev xvfb xdotool
ARM_BUILD     ?= build-arm

.PHONY: build run test test-asan deps-build deps-test bench bench-arm clean

deps-build:
	@tools/install-deps.sh $(BUILD_PACKAGES)

deps-test:
	@tools/install-deps.sh $(TEST_PACKAGES)

build: deps-build
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) $(TERRAIN_FLAG)
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: SDL falls back to drawing in this terminal where it can (Escape quits)."; \
	fi
	./$(BUILD)/landscape

# Every test: the unit and shell tests, the program end to end under Xvfb
# against both SDL 1.2 libraries, the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the core's tests and
# the whole program built for the console's ARMv4T and run under qemu-arm.
test: deps-test
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) $(TERRAIN_FLAG)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure --no-tests=error -j$(JOBS)
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory check-arm

test-asan:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DLANDSCAPE_SANITIZE=ON
	cmake --build $(ASAN) -j$(JOBS)
	cd $(ASAN) && ctest --output-on-failure --no-tests=error -j$(JOBS) -L unit

bench: deps-build
	@tools/install-deps.sh $(BENCH_PACKAGES)
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS) --target render_bench
	./$(BUILD)/bench/render_bench

# The landscape this build compiles in (the built-in one unless TERRAIN is
# set) as EXPORT/height.png and EXPORT/color.png, to edit and fly over with
# `make run TERRAIN=$(EXPORT)`. Existing files there are not overwritten.
.PHONY: export-landscape
export-landscape: deps-build
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) $(TERRAIN_FLAG)
	cmake --build $(BUILD) -j$(JOBS) --target export_landscape
	$(BUILD)/tools/export_landscape $(EXPORT)

# ARM instructions and first-level data-cache misses per rendering pass,
# ours beside the straightforward baseline (docs/PERFORMANCE.md).
bench-arm:
	@tools/install-deps.sh $(ARM_PACKAGES) valgrind
	tools/bench-arm.sh build-bench-arm

clean:
	rm -rf $(BUILD) $(ASAN) $(ARM_BUILD) build-bench-arm

# The whole program and the core's unit tests built for the console's ARMv4T
# with Debian's armel cross compiler against Debian's armel SDL, and run under
# qemu-arm: the tests, the end-to-end suite under Xvfb, screenshots compared
# with the x86 build's, and checks of the generated machine code
# (tools/check-arm.sh). Leaves $(ARM_BUILD)/landscape and
# $(ARM_BUILD)/run-landscape, which starts it under qemu-arm.
.PHONY: check-arm
check-arm:
	@tools/install-deps.sh $(ARM_PACKAGES)
	@JOBS=$(JOBS) tools/check-arm.sh $(ARM_BUILD)
