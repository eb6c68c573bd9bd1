# The two commands of the README on top of CMake.
#   make test   installs what is missing, builds with AddressSanitizer and UBSan, runs all tests
#   make run    installs what is missing, builds the two programs with their pictures and sounds
#               (release) and starts them: Kordraum in the background, then Korvanta; closing
#               Korvanta stops Kordraum
# The packages of each purpose are listed in scripts/debian-packages.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
PORT := 4523

.PHONY: test run build-test build-release

test: build-test
	cd build/test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) --timeout 600

build-test:
	@scripts/install-packages build test
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKOR_SANITIZE=ON -DKOR_TESTS=ON
	cmake --build build/test -j$(JOBS)

build-release:
	@scripts/install-packages build run
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKOR_TESTS=OFF
	cmake --build build/release -j$(JOBS) --target Kordraum Korvanta kor_assets

# Korvanta starts once Kordraum itself listens on its port (so it finds the join key that Kordraum
# put on the clipboard); a port that another program holds stops here with a line that says so.
run: build-release
	cd build/release/bin && "$(CURDIR)/scripts/run-programs" $(PORT) ./Kordraum ./Korvanta
