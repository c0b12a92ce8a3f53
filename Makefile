# Two commands do everything on a fresh Debian 12 machine:
#   make run   installs what is missing, builds, generates data/ and plays the demo
#   make test  the same set-up, then every test (debug build with sanitizers)
# Options for the program go in ARGS, for example: make run ARGS=--windowed
JOBS ?= $(shell nproc)
ARGS ?=

.PHONY: run test deps build build-test clean

run: build
	@bash scripts/play.sh build $(ARGS)

# The tests run headless: SDL's off-screen video and dummy audio drivers,
# message boxes on standard error; with leak checks on, the driver's and SDL's
# own allocations aside.
TEST_ENV = SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LETTERBOX_MESSAGEBOX=stderr \
           ASAN_OPTIONS=detect_leaks=1 \
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

clean:
	rm -rf build build-test
