# Brambleshot: `make run` to play, `make test` to run the whole test suite.
# Both install any missing Debian packages first (scripts/install-deps.sh).

BUILD      ?= build/release
ASAN_BUILD ?= build/asan
JOBS       ?= $(shell nproc)
CTEST_ARGS ?=
FUZZ_SECONDS ?= 1800

PKG_BUILD  ?= build/package
# Warnings as errors: CI sets BRAMBLESHOT_WERROR=ON in the environment.
BRAMBLESHOT_WERROR ?= OFF
# Configuring again is quick, and it picks up packages installed since the last time. The
# tests and the tools (FreeType, libpng, fonts) are configured only for the targets that use them.
CONFIGURE_GAME = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release \
                 -DBRAMBLESHOT_WERROR=$(BRAMBLESHOT_WERROR)
CONFIGURE      = $(CONFIGURE_GAME) -DBRAMBLESHOT_TESTS=ON -DBRAMBLESHOT_TOOLS=ON

.PHONY: run build test sanitize fuzz fuzz-smoke session soak screenshots bench deps test-deps \
        resources icons package format lint clean mutate demo-pictures demos

# Only the game itself: the tests and the tools are left for `make test`.
run: deps
	$(CONFIGURE_GAME) -DBRAMBLESHOT_TESTS=OFF -DBRAMBLESHOT_TOOLS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target brambleshot
	./$(BUILD)/brambleshot $(ARGS)

deps:
	@scripts/install-deps.sh run

test-deps:
	@scripts/install-deps.sh test

build: test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS)

test: test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS)
	scripts/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) $(CTEST_ARGS)
	$(MAKE) web-test

# The browser build (emscripten, WebGL 1): the page, the game's script and WebAssembly and its
# packed data in build/web, a folder any static web server can serve. Debian's emscripten needs
# Debian's Node.js modules on its path.
WEB_BUILD ?= build/web-build
WEB_ENV    = NODE_PATH=/usr/share/nodejs
PORT      ?= 8080
.PHONY: web web-run web-test web-bench
web: web-deps
	$(WEB_ENV) emcmake cmake -S web -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_CXX_FLAGS="$(if $(filter ON,$(BRAMBLESHOT_WERROR)),-Werror)"
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)
	@cd build/web && for f in brambleshot.data brambleshot.js brambleshot.wasm index.html; do \
	  printf '%-18s %8s bytes, %8s gzipped\n' $$f $$(stat -c %s $$f) $$(gzip -9 -c $$f | wc -c); done

web-deps:
	@scripts/install-deps.sh web

# Serves build/web on this machine and prints the address to open.
web-run: web
	node tests/web/serve.mjs build/web $(PORT)

# The browser tests: headless Chromium driven by puppeteer-core (pinned in tests/web's lockfile);
# the desktop build draws the pictures they are compared with.
web-test: web test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target demos framediff
	scripts/npm-ci.sh tests/web
	scripts/with-display.sh node tests/web/browser_test.mjs build/web $(BUILD)

# The browser's pace: world steps a second in headless Chromium, at the start screen and in play.
web-bench: web
	scripts/npm-ci.sh tests/web
	node tests/web/browser_test.mjs build/web $(BUILD) --pace 10

# The whole suite built with AddressSanitizer and UBSan (no recovery).
sanitize: test-deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBRAMBLESHOT_SANITIZE=ON \
	  -DBRAMBLESHOT_WERROR=$(BRAMBLESHOT_WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	scripts/with-display.sh ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) $(CTEST_ARGS)
	$(MAKE) fuzz-smoke

# libFuzzer (clang, ASan + UBSan) on the mesh, bitmap and sound loaders, the demo reader, the
# score file and framediff's picture reader, FUZZ_SECONDS each (0: until interrupted). New
# inputs and crashes are kept under build/fuzz/.
.PHONY: fuzz fuzz-smoke
fuzz: test-deps
	scripts/fuzz.sh mesh $(FUZZ_SECONDS)
	scripts/fuzz.sh bitmap $(FUZZ_SECONDS)
	scripts/fuzz.sh wav $(FUZZ_SECONDS)
	scripts/fuzz.sh demo $(FUZZ_SECONDS)
	scripts/fuzz.sh scores $(FUZZ_SECONDS)
	scripts/fuzz.sh ppm $(FUZZ_SECONDS)
	scripts/fuzz.sh measurewav $(FUZZ_SECONDS)

# The same for about a minute each (the small picture reader half that); the end of
# `make sanitize`.
fuzz-smoke: test-deps
	scripts/fuzz.sh mesh 60
	scripts/fuzz.sh bitmap 60
	scripts/fuzz.sh wav 60
	scripts/fuzz.sh demo 60
	scripts/fuzz.sh scores 60
	scripts/fuzz.sh ppm 30
	scripts/fuzz.sh measurewav 30

# A long session of the sanitizer build under Xvfb with scripted random input (SESSION_SECONDS).
SESSION_SECONDS ?= 180
session: test-deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBRAMBLESHOT_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target brambleshot e2e_tests
	BRAMBLESHOT_SESSION_SECONDS=$(SESSION_SECONDS) ASAN_OPTIONS=detect_leaks=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  $(ASAN_BUILD)/tests/e2e_tests --gtest_filter='LongSession.*'

# The whole game played for a million frames with seeded input on the headless drawing layer
# (no X server; a few minutes).
soak: test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target app_headlesstests
	BRAMBLESHOT_SOAK_FRAMES=1000000 DISPLAY= ./$(BUILD)/tests/app_headlesstests --gtest_filter='Soak.*'

# Seeds small faults into the game one at a time and runs the suite against each; prints the
# faults no test caught and the kill rate (tens of minutes). MUTATE_ARGS: names, --jobs N.
MUTATE_ARGS ?=
mutate: test-deps
	scripts/mutate.py $(MUTATE_ARGS)

# The sound measured: a scripted minute of play recorded through the game's sound player and
# OpenAL Soft's wave backend (build/sound/play.wav, on the headless drawing layer: no X server),
# its figures, its picture in docs/sound/after.png and the figures of every sound file.
.PHONY: sound-report
sound-report: test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target soundreport
	mkdir -p build/sound docs/sound
	env -u DISPLAY ./$(BUILD)/tools/soundreport record build/sound/play.wav --seconds 60
	./$(BUILD)/tools/soundreport measure build/sound/play.wav
	./$(BUILD)/tools/soundreport picture build/sound/play.wav docs/sound/after.png \
	  --title "A scripted minute of play"
	./$(BUILD)/tools/soundreport sounds Resources/sounds

# Regenerates every image and mesh in Resources/ with the project's generator.
resources: test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target resgen
	./$(BUILD)/tools/resgen Resources

# Seeded screenshots of the start screen, play, the help page and game over, for the README.
screenshots: test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target screenshots
	scripts/with-display.sh ./$(BUILD)/tools/screenshots docs/screenshots

# After an intended change of the world (its rules, steps or random draws): records the committed
# demos in tests/demo/games/ again, each by its own scripted play, seed and window. A demo is
# replaced only once its new recording is complete.
demos: test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target demos
	for demo in tests/demo/games/*.demo; do \
	  scripts/with-display.sh ./$(BUILD)/tools/demos record $$(basename $$demo .demo) $$demo.new \
	    && mv $$demo.new $$demo || { rm -f $$demo.new; exit 1; }; done

# After an intended change of the pictures (models, images, drawing): replays the committed demos
# and rewrites the hash of each one's last picture. Refuses a demo whose world has changed.
demo-pictures: test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target demos
	for demo in tests/demo/games/*.demo; do \
	  scripts/with-display.sh ./$(BUILD)/tools/demos pictures $$demo || exit 1; done

# The application icon at the hicolor sizes, into data/icons.
icons: test-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target resgen
	./$(BUILD)/tools/resgen --icons data/icons

# The game's pace (steps per second), frame, start-up and loader timings against their targets
# and peers: one table, and build/bench.json (an optimised build in build/bench, under Xvfb
# when DISPLAY is unset).
.PHONY: bench
bench:
	scripts/bench.sh

# A Debian package of the installed game, built with CPack from the game alone (no tests, no
# tools) with Debian's hardening flags and the launcher in /usr/games, as Debian keeps games;
# then checked: lintian must find no error, and the metainfo must pass appstreamcli.
BUILDFLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package:
	@scripts/install-deps.sh package
	rm -f $(PKG_BUILD)/*.deb
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_INSTALL_BINDIR=games \
	  -DBRAMBLESHOT_TESTS=OFF -DBRAMBLESHOT_TOOLS=OFF -DBRAMBLESHOT_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="$$($(BUILDFLAGS) CPPFLAGS) $$($(BUILDFLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(BUILDFLAGS) LDFLAGS)"
	cmake --build $(PKG_BUILD) -j $(JOBS)
	cd $(PKG_BUILD) && cpack
	lintian --fail-on error --display-info $(PKG_BUILD)/*.deb
	rm -rf $(PKG_BUILD)/unpacked && dpkg-deb -x $(PKG_BUILD)/*.deb $(PKG_BUILD)/unpacked
	appstreamcli validate --no-net $(PKG_BUILD)/unpacked/usr/share/metainfo/*.metainfo.xml
	@ls -1 $(PKG_BUILD)/*.deb

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# What CI enforces: every C++ file as .clang-format lays it out, and the game's sources clean
# under .clang-tidy (two to three minutes on two cores). The browser's own sources are the web
# build's (emscripten headers).
TIDY_SOURCES = git ls-files 'src/*.cpp' ':!:*_browser.cpp' ':!:src/pad/browser_pads.cpp'
# GCC's libquadmath header (src/host/exact_math.cpp), which clang does not look for by itself.
GCC_INCLUDE  = $(dir $(shell g++ -print-file-name=include/quadmath.h))
lint: SHELL = /bin/bash
lint: test-deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
	$(CONFIGURE) > /dev/null
	set -o pipefail; $(TIDY_SOURCES) | xargs -P $(JOBS) -n 4 clang-tidy -p $(BUILD) --quiet \
	  --extra-arg=-idirafter$(GCC_INCLUDE) 2>&1 \
	  | { grep -v ' warnings generated\.$$' || true; }

clean:
	rm -rf build
