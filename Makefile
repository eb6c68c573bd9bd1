# The two commands of the README on top of CMake.
#   make test   installs what is missing, builds with AddressSanitizer and UBSan, runs all tests
#   make run    installs what is missing, builds a release build and starts the programs
SHELL := /bin/bash
JOBS ?= $(shell nproc)

BUILD_PACKAGES := qt6-base-dev qt6-multimedia-dev libjpeg-dev libgtest-dev libgmock-dev \
                  libbenchmark-dev cmake g++ pkg-config ccache
RUN_PACKAGES := $(BUILD_PACKAGES) fonts-ipafont-gothic fonts-ipafont-mincho

.PHONY: test run build-test build-release

test: build-test
	cd build/test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) --timeout 600

build-test:
	@scripts/install-packages $(BUILD_PACKAGES)
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKOR_SANITIZE=ON
	cmake --build build/test -j$(JOBS)

build-release:
	@scripts/install-packages $(RUN_PACKAGES)
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j$(JOBS)

run: build-release
	cd build/release/bin && ./Kordraum
