# Quick start: `make run` builds and starts the program, `make test` builds
# the sanitizer configuration and runs every test.
JOBS ?= $(shell nproc)

.PHONY: run test release asan clean

release:
	@tools/install-deps.sh
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUDEX_TESTS=OFF -DLUDEX_BENCH=OFF
	cmake --build build/release -j $(JOBS)

run: release
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "ludex: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set)"; exit 1; fi
	./build/release/ludex

asan:
	@tools/install-deps.sh test
	cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUDEX_SANITIZE=ON
	cmake --build build/asan -j $(JOBS)

# Leaks that system libraries keep until exit are not ours to report.
test: asan
	cd build/asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf build
