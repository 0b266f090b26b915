# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# Front door to the CMake build. `make run` and `make test` install whatever
# Debian packages are missing first, so both work on a fresh Debian 12.

BUILD ?= build
ASAN_BUILD ?= build-asan
PACKAGE_BUILD ?= build-package
WINDOWS_BUILD ?= build-windows
JOBS ?= $(shell nproc)

# Every Debian package that any target or test needs, from one list: what
# each is for, and the programs of it that are started, are in that file.
PACKAGES := $(shell awk '!/^\#/ && NF { print $$1 }' tools/debian-packages)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test run bench screenshot test-sanitize tidy package \
        test-package windows test-windows update-translations clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' "$$p" 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing missing packages:$$missing"; \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

# The project's own builds treat warnings as errors; a build folder made
# before that was an option gets it turned on here.
$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DKELVARA_WERROR=ON

configure: deps $(BUILD)/build.ninja
	@grep -q '^KELVARA_WERROR:BOOL=ON$$' $(BUILD)/CMakeCache.txt || \
	    cmake -S . -B $(BUILD) -DKELVARA_WERROR=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The tests of the Windows build (label "windows") run in make test-windows.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE windows

run: build
	$(BUILD)/app/kelvara

# The frames benchmark clicks the window through XTest and sees it change
# through XDamage. CMake runs again so that a build folder configured before
# those client libraries were installed finds them.
bench: configure
	cmake -S . -B $(BUILD) > /dev/null
	cmake --build $(BUILD) -j $(JOBS)
	bash tools/bench.sh $(BUILD)

# The .ts files in translations/ brought up to date with the texts in the
# code (Qt's lupdate); then translate what is new, with Qt Linguist or by hand.
update-translations: configure
	cmake --build $(BUILD) --target update_translations

screenshot: build
	bash tools/screenshot.sh $(BUILD)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVARA_SANITIZE=ON \
	    -DKELVARA_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS) -LE windows

# clang-tidy (checks in .clang-tidy) over the project's own sources, with the
# compile commands of $(BUILD); any finding fails the target (clang-tidy
# version 14 on Debian 12).
RUN_CLANG_TIDY ?= run-clang-tidy-14
CLANG_TIDY ?= clang-tidy-14

tidy: build
	$(RUN_CLANG_TIDY) -clang-tidy-binary $(CLANG_TIDY) -p $(BUILD) -j $(JOBS) -quiet \
	    '^$(CURDIR)/(sim|display|ui|app|bench|tests|packaging)/'

# The Debian package, from a Release build (-O3) of the whole tree with
# Debian's hardening flags; CPack writes $(PACKAGE_BUILD)/kelvara_*.deb.
# Warnings are reported, not errors, unless PACKAGE_WERROR=ON.
PACKAGE_WERROR ?= OFF
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DKELVARA_WERROR=$(PACKAGE_WERROR) \
	    -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	    -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	rm -f $(PACKAGE_BUILD)/kelvara_*.deb
	cd $(PACKAGE_BUILD) && cpack
	@ls $(PACKAGE_BUILD)/kelvara_*.deb

# Builds the package with warnings as errors, checks it with the desktop,
# AppStream and Debian validators, then installs it system-wide, starts the
# installed program under Xvfb, closes it and removes the package again
# (tools/test_package.sh). For CI: needs root or sudo.
test-package: deps
	$(MAKE) package PACKAGE_WERROR=ON
	bash tools/test_package.sh $(PACKAGE_BUILD)

# The Windows program, cross-built with mingw-w64 against a static Qt made
# from Debian's own qt6-base source (tools/windows/build-qt.sh, cached
# outside the tree): dist/kelvara-VERSION-windows-x64.zip, the portable
# program, and dist/kelvara-VERSION-setup.exe, its installer. The Linux
# build draws the icon.
windows: build
	qt=$$(bash tools/windows/build-qt.sh) && \
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVARA_WERROR=ON \
	    -DCMAKE_TOOLCHAIN_FILE=$$qt/lib/cmake/Qt6/qt.toolchain.cmake \
	    -DKELVARA_ICO=$(CURDIR)/$(BUILD)/packaging/icons/kelvara.ico \
	    -DKELVARA_DIST_DIR=$(CURDIR)/dist
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@ls -l dist/

# The Windows files under Wine in Xvfb, in a fresh Wine prefix: the program
# beside the Linux one, its keys and ends, and the installer.
test-windows: windows
	cd $(BUILD) && ctest --output-on-failure -L windows

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(PACKAGE_BUILD) $(WINDOWS_BUILD) dist
