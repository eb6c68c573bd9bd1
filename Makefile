# The two commands of the README on top of CMake.
#   make test   installs what is missing, builds with AddressSanitizer and UBSan, runs all tests
#   make run    installs what is missing, builds a release build and starts both programs:
#               Kordraum in the background, then Korvanta; closing Korvanta stops Kordraum
SHELL := /bin/bash
JOBS ?= $(shell nproc)

BUILD_PACKAGES := qt6-base-dev qt6-multimedia-dev libjpeg-dev libgtest-dev libgmock-dev \
                  libbenchmark-dev cmake g++ pkg-config ccache clang-14 libclang-rt-14-dev
RUN_PACKAGES := $(BUILD_PACKAGES) fonts-ipafont-gothic fonts-ipafont-mincho \
                qt6-translations-l10n iproute2

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

# Korvanta starts once Kordraum listens on its port, so it finds the join key that Kordraum put
# on the clipboard. Kordraum gets SIGTERM (it writes its logs and settings) when Korvanta ends.
run: build-release
	cd build/release/bin || exit 1; \
	./Kordraum & server=$$!; \
	trap 'kill $$server 2>/dev/null; wait $$server 2>/dev/null' EXIT; \
	for i in $$(seq 50); do \
	  if ss -Hltn 'sport = :4523' 2>/dev/null | grep -q .; then sleep 0.3; break; fi; \
	  kill -0 $$server 2>/dev/null || break; \
	  sleep 0.2; \
	done; \
	./Korvanta
