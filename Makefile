# Two commands do everything on a fresh Debian 12 machine:
#   make run   installs what is missing, builds, generates data/ and plays the demo
#   make test  the same set-up, then every test (debug build with sanitizers)
#   make web   the same set-up, then the browser build in web/ (Emscripten, WebGL 2)
# Options for the program go in ARGS, for example: make run ARGS=--windowed
JOBS ?= $(shell nproc)
ARGS ?=

.PHONY: run test deps build build-test web web-test clean

run: build
	@bash scripts/play.sh build $(ARGS)

# The tests run headless: SDL's off-screen video and dummy audio drivers,
# message boxes on standard error; with leak checks on, the driver's and SDL's
# own allocations aside. This GCC's ASan tracks dynamic TLS by reading a glibc
# 2.19 header in front of the block; glibc now mallocs the block, so where it
# lands 16 bytes into a page ASan reads its own chunk header instead and the
# leak check then faults on the bogus range. The linker's allocations (those
# blocks among them) are scanned as live anyway, so nothing is lost.
TEST_ENV = SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LETTERBOX_MESSAGEBOX=stderr \
           ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 \
           LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

test: build-test
	cd build-test && $(TEST_ENV) ctest --output-on-failure -j $(JOBS)

deps:
	@bash scripts/deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLETTERBOX_TESTS=OFF
	cmake --build build -j $(JOBS)

build-test: deps
	cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLETTERBOX_SANITIZE=ON -DLETTERBOX_WERROR=ON
	cmake --build build-test -j $(JOBS)

web:
	@bash scripts/web.sh

# The browser build against the native frames, in headless Chromium (see scripts/web-test.sh).
web-test: web
	@bash scripts/web-test.sh web build

clean:
	rm -rf build build-test build-web web
