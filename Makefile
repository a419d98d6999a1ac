# `make run` and `make test` do the whole set-up on a fresh Debian machine:
# `make run` only what the desktop programs need, `make test` everything.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

# A build with everything: the pages, the tests and the benchmarks.
FULL_OPTIONS = -DORVANE_WEB=ON -DBUILD_TESTING=ON -DORVANE_BENCH=ON
# Options for a build folder's first configure by `make run` or `make web`;
# a folder configured before keeps its own (after `make test`, everything).
FIRST_OPTIONS = $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DORVANE_WEB=OFF -DBUILD_TESTING=OFF -DORVANE_BENCH=OFF)

.PHONY: run run-lite desktop test check golden setup build bench startup-bench export-bench sanitize \
        valgrind screenshot clean web serve-web web-bench po

# Status 1 is the program's own one-line report that it found no display;
# make adds no second error line to it. Any other failure still shows.
run: desktop
	@$(BUILD)/Orvane || [ $$? -eq 1 ]

run-lite: desktop
	@$(BUILD)/OrvaneLite || [ $$? -eq 1 ]

# The two programs alone, with the packages they need to build and run:
# no WebAssembly, no tests, no test tools.
desktop:
	@scripts/setup.sh run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(FIRST_OPTIONS)
	cmake --build $(BUILD) -j $(JOBS) --target Orvane OrvaneLite

# The quick tier (CTest label "quick"): the rules, the window offscreen, the
# catalogues and the command line, built without the pages.
check: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(FULL_OPTIONS)
	cmake --build $(BUILD) -j $(JOBS) --target pattern_tests window_tests Orvane OrvaneLite
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L quick

# Every test runs once: a test that fails fails the run.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Rewrites the reference pictures in tests/golden/ from the current build.
golden: build
	mkdir -p tests/golden
	ORVANE_WRITE_GOLDEN=1 QT_QPA_PLATFORM=offscreen $(BUILD)/tests/window_tests --gtest_filter='Golden.*'
	ORVANE_WRITE_GOLDEN=1 QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 \
	  $(BUILD)/tests/window_tests --gtest_filter='Scaled.*'

setup:
	@scripts/setup.sh

# The catalogues after a change of texts: the template po/orvane.pot from the
# marked texts (xgettext), each po/LANG.po merged with it (new texts empty,
# dropped ones gone), then every text still to translate, by language.
po:
	scripts/catalogues.py --extract po/orvane.pot
	for po in po/*.po; do \
	  msgmerge --quiet --update --no-fuzzy-matching --backup=none --no-wrap --sort-output $$po po/orvane.pot && \
	  msgattrib --no-obsolete --no-wrap --sort-output -o $$po $$po || exit 1; \
	done
	scripts/catalogues.py --check

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(FULL_OPTIONS)
	cmake --build $(BUILD) -j $(JOBS)

# Release build of the benchmarks; prints medians over repeated runs.
bench: setup
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DORVANE_HARDENING=OFF -DORVANE_BENCH=ON
	cmake --build build-release -j $(JOBS) --target orvane_bench
	QT_QPA_PLATFORM=offscreen build-release/bench/orvane_bench \
	  --benchmark_repetitions=15 --benchmark_report_aggregates_only=true

# Start-up time and peak memory against a bare Qt window, on a virtual display.
startup-bench: setup
	scripts/startup_bench.sh

# --export of a PNG and an SVG against the window's start-up, and the SVG's size.
export-bench: build
	scripts/export_bench.sh

# AddressSanitizer + UndefinedBehaviorSanitizer build of everything, with the tests.
sanitize: setup
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS)

# The random sessions under valgrind's memcheck (about two minutes).
valgrind: build
	QT_QPA_PLATFORM=offscreen valgrind --tool=memcheck --error-exitcode=9 --num-callers=30 \
	  $(BUILD)/tests/window_tests --gtest_filter='*RandomSession*'

# The web editions (emscripten) in build-web/: index.html is Orvane, lite.html
# OrvaneLite, with their manifests, service worker and icons; the folder is
# ready for any static host. `make test` builds and tests them too.
WEB ?= build-web
WEB_PORT ?= 8000

# The desktop build's icon painter paints the web app's icons.
web:
	@scripts/setup.sh run web
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(FIRST_OPTIONS) -DORVANE_WEB=ON
	cmake --build $(BUILD) -j $(JOBS) --target orvane-make-icons
	web/build.sh $(WEB) $(JOBS) $(abspath $(BUILD))/orvane-make-icons

serve-web: web
	@echo "Orvane:     http://localhost:$(WEB_PORT)/index.html"
	@echo "OrvaneLite: http://localhost:$(WEB_PORT)/lite.html"
	cd $(WEB) && python3 -m http.server $(WEB_PORT) --bind 127.0.0.1

# Start-up and redraw of the pages in Chromium, Firefox and WebKit, a visit served
# by the service worker, and their size; medians. Beside `make bench`'s native redraw
# when build-release/ has it.
web-bench: setup web
	ORVANE_WEB_DIR=$(WEB) node web/bench/web_bench.mjs

screenshot: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/orvane-snapshot docs/orvane.png docs/orvane-lite.png
	$(BUILD)/Orvane --preset hypercardioid --angle 30 --view db --export docs/orvane-datasheet.png

clean:
	rm -rf $(BUILD) build-release build-asan $(WEB)
