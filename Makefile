# landscape: make run, make test. Each installs what it needs first.

BUILD     ?= build
ASAN      ?= build-asan
# The web site, exactly the files to publish, and CMake's build tree for it.
WEB       ?= build-web
WEB_TREE  ?= build-web-cmake
# Where `make web-run` serves the site: http://$(WEB_HOST):$(WEB_PORT)/.
# WEB_HOST=0.0.0.0 serves it to other machines too (a phone).
WEB_HOST  ?= 127.0.0.1
WEB_PORT  ?= 8000
JOBS      ?= 2
# Where `make install` puts the program and its files, and what is written
# there instead (a staging folder, as packagers use).
PREFIX    ?= /usr/local
DESTDIR   ?=
# Where `make deb` builds the Debian package and leaves the .deb.
DEB       ?= build-deb
# A directory with height.png and color.png to fly over instead of the
# built-in landscape (docs/CUSTOM_LANDSCAPE.md); empty: the built-in one. A
# relative path is taken from the checkout.
TERRAIN   ?=
# Where `make export-landscape` writes the compiled-in landscape's PNGs;
# FORCE=1 replaces PNGs already there.
EXPORT    ?= terrain
FORCE     ?=

# A make value as one shell word, whatever it holds (spaces, quotes).
quote = '$(subst ','\'',$(1))'

# What each build directory holds. `make build` and `make run` build the
# program alone (with the importer when TERRAIN is set), so they never look
# for GoogleTest or the benchmark library; `make test` builds everything.
CMAKE_FLAGS   = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDSCAPE_CORE_ONLY=OFF
PROGRAM_FLAGS = $(CMAKE_FLAGS) -DLANDSCAPE_TESTS=OFF -DLANDSCAPE_BENCH=OFF -DLANDSCAPE_TOOLS=OFF
ALL_FLAGS     = $(CMAKE_FLAGS) -DLANDSCAPE_TESTS=ON -DLANDSCAPE_BENCH=ON -DLANDSCAPE_TOOLS=ON
# Debian's emscripten finds its JavaScript modules (acorn) only through
# NODE_PATH; EMSDK_PYTHON keeps it on Debian's own Python.
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs EMSDK_PYTHON=/usr/bin/python3
# Always passed, empty when TERRAIN is unset, so that a build directory
# switches back to the built-in landscape.
# A path as absolute, whatever it holds: a relative one is taken from the
# checkout (make's $(abspath) would split a path holding spaces).
absolute = $(if $(filter /%,$(firstword $(1))),,$(CURDIR)/)$(1)
TERRAIN_FLAG = -DLANDSCAPE_TERRAIN=$(if $(strip $(TERRAIN)),$(call quote,$(call absolute,$(TERRAIN))))

PROGRAM_PACKAGES = g++ make cmake libsdl1.2-dev $(if $(strip $(TERRAIN)),pkg-config libspng-dev)
TOOL_PACKAGES    = g++ make cmake libsdl1.2-dev pkg-config libspng-dev
WEB_PACKAGES     = make cmake emscripten python3
TEST_PACKAGES    = $(TOOL_PACKAGES) $(WEB_PACKAGES) $(DEB_TEST_PACKAGES) libgtest-dev xvfb xauth xdotool libsdl1.2-compat \
                   chromium firefox-esr
# The Debian package's build (its Build-Depends and dpkg-buildpackage) and
# the checks the tests run on it.
DEB_PACKAGES     = g++ make cmake libsdl1.2-dev debhelper dpkg-dev
DEB_TEST_PACKAGES = $(DEB_PACKAGES) lintian desktop-file-utils appstream groff-base
BENCH_PACKAGES   = g++ make cmake libsdl1.2-dev libbenchmark-dev
# The ARM check also builds the program for x86 to compare screenshots with,
# and runs both under Xvfb; Debian's armel SDL is unpacked in the build tree.
ARM_PACKAGES     = $(TOOL_PACKAGES) crossbuild-essential-armel qemu-user googletest libgtest-dev xvfb xdotool
ARM_BUILD       ?= build-arm
# The PortMaster port for aarch64 handhelds (docs/HANDHELD.md): Debian 12's
# aarch64 cross compiler, patchelf and python3 to make the bundled
# sdl12-compat load on older C libraries, the host renderer for the
# screenshot; Debian 11 and 12 arm64 packages are unpacked in the build tree.
# The check runs the port under qemu-aarch64 on Xvfb beside the x86 build.
PORT_PACKAGES      = $(TOOL_PACKAGES) crossbuild-essential-arm64 patchelf python3 zip file
PORT_TEST_PACKAGES = $(PORT_PACKAGES) qemu-user xvfb xauth xdotool unzip libsdl1.2-compat
PORT_BUILD        ?= build-port
# Who the port's port.json names as its porter (the handle of whoever opens
# the pull request to PortMaster), and where its README says the source is.
PORTER            ?= landscape
SOURCE_URL        ?= https://github.com/landscapeflyover/landscape

# The browser test drives Debian's chromium and firefox-esr with this
# puppeteer-core from the npm registry (the last release that runs on Node
# 18), installed into the build tree without a browser of its own; bounded
# fetches make an unreachable registry fail the install instead of hanging it.
PUPPETEER_VERSION = 24.43.1
NPM_DIR           = $(BUILD)/npm

.PHONY: build run install uninstall deb test test-asan deps-build deps-test deps-npm bench bench-arm clean web web-run

deps-build:
	@tools/install-deps.sh $(PROGRAM_PACKAGES)

deps-test:
	@tools/install-deps.sh $(TEST_PACKAGES)

deps-npm:
	@command -v npm >/dev/null || tools/install-deps.sh npm
	@grep -qs '"version": "$(PUPPETEER_VERSION)"' $(call quote,$(NPM_DIR)/node_modules/puppeteer-core/package.json) || \
	  PUPPETEER_SKIP_DOWNLOAD=1 timeout 300 npm install --no-save --no-audit --no-fund --fetch-retries=1 \
	    --fetch-timeout=30000 --prefix $(call quote,$(NPM_DIR)) puppeteer-core@$(PUPPETEER_VERSION)

build: deps-build
	cmake -S . -B $(call quote,$(BUILD)) $(PROGRAM_FLAGS) $(TERRAIN_FLAG) -DCMAKE_INSTALL_PREFIX=$(call quote,$(PREFIX))
	cmake --build $(call quote,$(BUILD)) -j$(JOBS) --target landscape

# The program, its icon, menu entry, AppStream data and man page under
# PREFIX (the program in $(PREFIX)/games), written below DESTDIR when set
# (cmake/install.cmake); `make uninstall` with the same PREFIX and DESTDIR
# removes those files again. Both are `cmake --install` and its
# counterpart, so a build without this Makefile installs the same.
install: build
	DESTDIR=$(call quote,$(DESTDIR)) cmake --install $(call quote,$(BUILD))

uninstall: build
	DESTDIR=$(call quote,$(DESTDIR)) cmake -DLANDSCAPE_BUILD_DIR=$(call quote,$(BUILD)) -P cmake/uninstall.cmake

# The Debian package, built by dpkg-buildpackage and debhelper from a copy
# of the sources in $(DEB), which also receives the package:
# $(DEB)/landscape_<version>_<arch>.deb (tools/make-deb.sh).
deb:
	@tools/install-deps.sh $(DEB_PACKAGES)
	@JOBS=$(JOBS) tools/make-deb.sh $(call quote,$(DEB))

# Without a display classic SDL 1.2 draws in the terminal, which reports
# no key releases, and sdl12-compat stops: say how to get a window. A local
# X display with no server behind it is named before the program refuses it.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display (DISPLAY is not set), so no window. Classic SDL 1.2 draws the view in"; \
	  echo "this terminal instead, where keys are never released: one tap of Up flies on for"; \
	  echo "good and each key works only once (Escape quits). sdl12-compat stops with"; \
	  echo "\"Couldn't initialize SDL\". For a real window, run make run from a terminal in"; \
	  echo "your desktop session, or over ssh -X from one."; \
	fi
	@case "$$DISPLAY" in :*|unix:*) number=$${DISPLAY#*:}; number=$${number%%.*}; \
	  [ -e "/tmp/.X11-unix/X$$number" ] || \
	  echo "No X server is listening on display $$DISPLAY (DISPLAY), so the program will refuse to start. Check DISPLAY," \
	       "or unset it to draw in this terminal." ;; \
	esac
	$(call quote,$(BUILD)/landscape)

# The program for the web with Emscripten, and the site to publish in
# $(WEB): index.html, landscape.js, landscape.wasm, the manifest, the
# service worker and the icons (cmake/web_site.cmake); CMake builds in
# $(WEB_TREE). Any static web server serves $(WEB).
# With TERRAIN set, the desktop build's import_landscape converts the PNGs.
web:
	@tools/install-deps.sh $(WEB_PACKAGES) $(if $(strip $(TERRAIN)),$(PROGRAM_PACKAGES))
ifneq ($(strip $(TERRAIN)),)
	cmake -S . -B $(call quote,$(BUILD)) $(PROGRAM_FLAGS) $(TERRAIN_FLAG)
	cmake --build $(call quote,$(BUILD)) -j$(JOBS) --target import_landscape
endif
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(call quote,$(WEB_TREE)) -DCMAKE_BUILD_TYPE=Release -DLANDSCAPE_TESTS=OFF \
	  -DLANDSCAPE_BENCH=OFF -DLANDSCAPE_TOOLS=OFF $(TERRAIN_FLAG) -DLANDSCAPE_WEB_SITE=$(call quote,$(call absolute,$(WEB))) \
	  $(if $(strip $(TERRAIN)),-DLANDSCAPE_IMPORT_TOOL=$(call quote,$(CURDIR)/$(BUILD)/tools/import_landscape))
	$(EMSCRIPTEN_ENV) cmake --build $(call quote,$(WEB_TREE)) -j$(JOBS)

web-run: web
	@tools/serve-web.sh $(call quote,$(WEB)) $(call quote,$(WEB_HOST)) $(call quote,$(WEB_PORT))

# Every test: the unit and shell tests, the program end to end under Xvfb
# against both SDL 1.2 libraries, the web build in headless Chromium and
# Firefox, the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the core's tests and the whole program built
# for the console's ARMv4T and run under qemu-arm, and the handhelds' port
# under qemu-aarch64.
test: deps-test deps-npm
	$(MAKE) --no-print-directory web
	cmake -S . -B $(call quote,$(BUILD)) $(ALL_FLAGS) $(TERRAIN_FLAG) -DLANDSCAPE_WEB_BUILD=$(call quote,$(call absolute,$(WEB))) \
	  -DLANDSCAPE_NPM_DIR=$(call quote,$(CURDIR)/$(NPM_DIR))
	cmake --build $(call quote,$(BUILD)) -j$(JOBS)
	cd $(call quote,$(BUILD)) && ctest --output-on-failure --no-tests=error -j$(JOBS)
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory check-arm
	$(MAKE) --no-print-directory check-port

test-asan:
	cmake -S . -B $(call quote,$(ASAN)) -DCMAKE_BUILD_TYPE=Debug -DLANDSCAPE_SANITIZE=ON -DLANDSCAPE_BENCH=OFF
	cmake --build $(call quote,$(ASAN)) -j$(JOBS)
	cd $(call quote,$(ASAN)) && ctest --output-on-failure --no-tests=error -j$(JOBS) -L unit

bench:
	@tools/install-deps.sh $(BENCH_PACKAGES)
	cmake -S . -B $(call quote,$(BUILD)) $(CMAKE_FLAGS) -DLANDSCAPE_TESTS=OFF -DLANDSCAPE_BENCH=ON -DLANDSCAPE_TOOLS=OFF
	cmake --build $(call quote,$(BUILD)) -j$(JOBS) --target render_bench
	$(call quote,$(BUILD)/bench/render_bench)

# The landscape this build compiles in (the built-in one unless TERRAIN is
# set) as EXPORT/height.png and EXPORT/color.png, to edit and fly over with
# `make run TERRAIN=$(EXPORT)`. Existing files there are replaced only with
# FORCE=1.
.PHONY: export-landscape
export-landscape:
	@tools/install-deps.sh $(TOOL_PACKAGES)
	cmake -S . -B $(call quote,$(BUILD)) $(PROGRAM_FLAGS) -DLANDSCAPE_TOOLS=ON $(TERRAIN_FLAG)
	cmake --build $(call quote,$(BUILD)) -j$(JOBS) --target export_landscape
	$(call quote,$(BUILD)/tools/export_landscape) $(if $(filter-out 0,$(strip $(FORCE))),--force) $(call quote,$(EXPORT))

# The committed generated files made again by their generators: the
# built-in landscape (assets/landscape_data.cpp, docs/heightmap.png and
# docs/colormap.png) and the icons (data/icons/). A test checks that both
# give the committed bytes.
.PHONY: landscape-data icons
landscape-data icons:
	@tools/install-deps.sh $(TOOL_PACKAGES)
	cmake -S . -B $(call quote,$(BUILD)) $(PROGRAM_FLAGS) -DLANDSCAPE_TOOLS=ON $(TERRAIN_FLAG)
	cmake --build $(call quote,$(BUILD)) -j$(JOBS) --target $(subst -,_,$@)

# ARM instructions and first-level data-cache misses per rendering pass,
# ours beside the straightforward baseline (docs/PERFORMANCE.md).
bench-arm:
	@tools/install-deps.sh $(ARM_PACKAGES) valgrind
	tools/bench-arm.sh build-bench-arm

clean:
	rm -rf $(call quote,$(BUILD)) $(call quote,$(ASAN)) $(call quote,$(ARM_BUILD)) $(call quote,$(WEB)) $(call quote,$(WEB_TREE)) \
	  $(call quote,$(PORT_BUILD)) $(call quote,$(DEB)) build-bench-arm

# The whole program and the core's unit tests built for the console's ARMv4T
# with Debian's armel cross compiler against Debian's armel SDL, and run under
# qemu-arm: the tests, the end-to-end suite under Xvfb, screenshots compared
# with the x86 build's, and checks of the generated machine code
# (tools/check-arm.sh). Leaves $(ARM_BUILD)/landscape and
# $(ARM_BUILD)/run-landscape, which starts it under qemu-arm.
.PHONY: check-arm
check-arm:
	@tools/install-deps.sh $(ARM_PACKAGES)
	@JOBS=$(JOBS) tools/check-arm.sh $(call quote,$(ARM_BUILD))

# The PortMaster port: $(PORT_BUILD)/ports/landscape/, the folder a pull
# request to PortMaster-New adds, and $(PORT_BUILD)/landscape.zip, to copy
# into PortMaster's autoinstall folder (tools/make-port.sh).
.PHONY: port check-port
port:
	@tools/install-deps.sh $(PORT_PACKAGES)
	@JOBS=$(JOBS) PORTER=$(call quote,$(PORTER)) SOURCE_URL=$(call quote,$(SOURCE_URL)) \
	  tools/make-port.sh $(call quote,$(PORT_BUILD))

# The port built and checked: its folder's and the zip's layout and
# metadata, its programs under qemu-aarch64 on four X screen sizes over Debian 12's SDL 2 and over
# Debian 11's C library, the launcher against a stand-in PortMaster
# (tools/check-port.sh).
check-port:
	@tools/install-deps.sh $(PORT_TEST_PACKAGES)
	@JOBS=$(JOBS) PORTER=$(call quote,$(PORTER)) SOURCE_URL=$(call quote,$(SOURCE_URL)) \
	  tools/check-port.sh $(call quote,$(PORT_BUILD))
