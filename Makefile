# Two commands do everything on a fresh Debian 12 machine:
#   make run   installs what is missing, builds, generates data/ and plays the demo
#   make test  the same set-up, then every test (debug build with sanitizers)
JOBS ?= $(shell nproc)

.PHONY: run test deps build build-test clean

run: build
	@bash scripts/play.sh

test: deps
	cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLETTERBOX_SANITIZE=ON -DLETTERBOX_WERROR=ON
	cmake --build build-test -j $(JOBS)
	cd build-test && ctest --output-on-failure -j $(JOBS)

deps:
	@bash scripts/deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS)

clean:
	rm -rf build build-test
