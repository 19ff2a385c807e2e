# landscape: make run, make test. Each installs what it needs first.

BUILD     ?= build
ASAN      ?= build-asan
JOBS      ?= 2


CMAKE_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo

BUILD_PACKAGES = g++ make cmake libsdl1.2-dev libpng-dev
TEST_PACKAGES  = $(BUILD_PACKAGES) libgtest-dev xvfb xauth xdotool libsdl1.2-compat
BENCH_PACKAGES = $(BUILD_PACKAGES) libgtest-dev libbenchmark-dev

.PHONY: build run test test-unit test-asan deps-build deps-test bench clean

deps-build:
	@tools/install-deps.sh $(BUILD_PACKAGES)

deps-test:
	@tools/install-deps.sh $(TEST_PACKAGES)

build: deps-build
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: SDL falls back to drawing in this terminal where it can (Escape quits)."; \
	fi
	./$(BUILD)/landscape

# Every test: the unit and shell tests, the program end to end under Xvfb
# against both SDL 1.2 libraries, then the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps-test
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)
	$(MAKE) --no-print-directory test-asan

test-asan:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DLANDSCAPE_SANITIZE=ON
	cmake --build $(ASAN) -j$(JOBS)
	cd $(ASAN) && ctest --output-on-failure -j$(JOBS) -L unit

bench: deps-build
	@tools/install-deps.sh $(BENCH_PACKAGES)
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS) --target render_bench
	./$(BUILD)/bench/render_bench

clean:
	rm -rf $(BUILD) $(ASAN)
