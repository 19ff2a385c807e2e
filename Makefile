# landscape: make run, make test. Each installs what it needs first.

BUILD     ?= build
ASAN      ?= build-asan
WEB       ?= build-web
# Where `make web-run` serves the web build: http://127.0.0.1:$(WEB_PORT)/
WEB_PORT  ?= 8000
JOBS      ?= 2
# A directory with height.png and color.png to fly over instead of the
# built-in landscape (docs/CUSTOM_LANDSCAPE.md); empty: the built-in one.
TERRAIN   ?=
# Where `make export-landscape` writes the compiled-in landscape's PNGs.
EXPORT    ?= terrain


CMAKE_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDSCAPE_TESTS=ON -DLANDSCAPE_CORE_ONLY=OFF
# Debian's emscripten finds its JavaScript modules (acorn) only through
# NODE_PATH; EMSDK_PYTHON keeps it on Debian's own Python.
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs EMSDK_PYTHON=/usr/bin/python3
# Always passed, empty when TERRAIN is unset, so that a build directory
# switches back to the built-in landscape.
TERRAIN_FLAG = -DLANDSCAPE_TERRAIN=$(if $(strip $(TERRAIN)),$(abspath $(TERRAIN)))

BUILD_PACKAGES = g++ make cmake libsdl1.2-dev libpng-dev
WEB_PACKAGES   = make cmake emscripten python3
TEST_PACKAGES  = $(BUILD_PACKAGES) $(WEB_PACKAGES) libgtest-dev xvfb xauth xdotool libsdl1.2-compat chromium
BENCH_PACKAGES = $(BUILD_PACKAGES) libgtest-dev libbenchmark-dev
ARM_PACKAGES   = make cmake crossbuild-essential-armel qemu-user googletest
ARM_BUILD     ?= build-arm

.PHONY: build run test test-asan deps-build deps-test bench bench-arm clean web web-run

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

# The program for the web with Emscripten: $(WEB)/index.html, landscape.js
# and landscape.wasm. Any static web server serves that folder.
# With TERRAIN set, the desktop build's import_landscape converts the PNGs.
web:
	@tools/install-deps.sh $(WEB_PACKAGES)
ifneq ($(strip $(TERRAIN)),)
	@tools/install-deps.sh $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) $(TERRAIN_FLAG)
	cmake --build $(BUILD) -j$(JOBS) --target import_landscape
endif
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB) -DCMAKE_BUILD_TYPE=Release -DLANDSCAPE_TESTS=OFF $(TERRAIN_FLAG) \
	  $(if $(strip $(TERRAIN)),-DLANDSCAPE_IMPORT_TOOL=$(abspath $(BUILD))/tools/import_landscape)
	$(EMSCRIPTEN_ENV) cmake --build $(WEB) -j$(JOBS)

web-run: web
	@echo "The flyover is at http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops the server)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory $(WEB)

# Every test: the unit and shell tests, the program end to end under Xvfb
# against both SDL 1.2 libraries, the web build in headless Chromium, the
# unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and the core's tests built for the console's ARMv4T and run under
# qemu-arm.
test: deps-test
	$(MAKE) --no-print-directory web
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) $(TERRAIN_FLAG) -DLANDSCAPE_WEB_BUILD=$(abspath $(WEB))
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
	@tools/install-deps.sh $(ARM_PACKAGES) valgrind g++
	tools/bench-arm.sh build-bench-arm

clean:
	rm -rf $(BUILD) $(ASAN) $(ARM_BUILD) $(WEB) build-bench-arm

# The SDL-free core and its unit tests built for the console's ARMv4T with
# Debian's armel cross compiler and run under qemu-arm, plus checks of the
# generated machine code (tools/check-arm.sh).
.PHONY: check-arm
check-arm:
	@tools/install-deps.sh $(ARM_PACKAGES)
	@JOBS=$(JOBS) tools/check-arm.sh $(ARM_BUILD)
