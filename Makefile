# Quick start: `make run` builds and starts the program, `make test` builds
# the sanitizer configuration and runs every test.
JOBS ?= $(shell nproc)

.PHONY: run test release asan clean install uninstall package

# Where `make install` puts the program; DESTDIR is honoured as usual.
PREFIX ?= /usr/local

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

# The program with its skins and help in $(PREFIX)/lib/ludex/, a link to it
# in $(PREFIX)/games/, the tools in $(PREFIX)/bin/, manual pages and desktop
# files in $(PREFIX)/share/. What was installed is listed in build/release's
# install_manifest.txt, which `make uninstall` removes again.
install: release
	@mkdir -p "$(DESTDIR)$(PREFIX)"
	@find "$(DESTDIR)$(PREFIX)" -type d > build/release/install_folders_before.txt
	cmake --install build/release --prefix "$(PREFIX)"

uninstall:
	@test -f build/release/install_manifest.txt || { echo "nothing installed from this tree"; exit 1; }
	tools/uninstall.sh build/release/install_manifest.txt build/release/install_folders_before.txt

# A Debian package of the release build: build/package/ludex_*.deb.
package:
	@tools/install-deps.sh package
	cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUDEX_TESTS=OFF -DLUDEX_BENCH=OFF
	cmake --build build/package -j $(JOBS)
	cd build/package && cpack -G DEB

clean:
	rm -rf build
