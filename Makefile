# Front door. `make run` sets up and starts Quillmark; `make test` sets up and passes every test.
JOBS       ?= $(shell nproc)
BUILD      ?= build
TESTBUILD  ?= build-test
FUZZBUILD  ?= build-fuzz
DEBBUILD   ?= build-deb
WINBUILD   ?= build-windows
FUZZ_SECONDS ?= 60
# The test build treats warnings as errors, so a new warning fails `make test` (and CI);
# WERROR=OFF builds anyway, for a compiler newer than Debian 12's.
WERROR     ?= ON
PROGRAMS   := quillmark quillmark-cli glyphsee
# With ccache installed, rebuilds after a clean or a change of branch come from its cache.
LAUNCHER   := -DCMAKE_CXX_COMPILER_LAUNCHER=$(shell command -v ccache 2>/dev/null)
# CMake's makefiles are sub-makes: without this each of them says where it enters and leaves.
MAKEFLAGS  += --no-print-directory

.PHONY: deps deps-run deps-window deps-deb deps-test deps-bench build run test unit-tests fuzz \
        deb deb-check format format-check gallery bench screenshot install clean windows \
        windows-tests deps-windows

# Each job installs the Debian packages it needs and no more (scripts/install-deps says which).
deps:
	scripts/install-deps all
deps-run deps-window deps-deb deps-test deps-bench deps-windows:
	scripts/install-deps $(@:deps-%=%)

# The three programs only; the tests build in $(TESTBUILD).
build: deps-run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF $(LAUNCHER) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target $(PROGRAMS)

run: build
	scripts/run-quillmark $(BUILD)

# Tests build under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer.
unit-tests: deps-test
	cmake -S . -B $(TESTBUILD) -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON -DQM_WERROR=$(WERROR) \
	  $(LAUNCHER) >/dev/null
	cmake --build $(TESTBUILD) -j $(JOBS)
	cd $(TESTBUILD) && ctest --output-on-failure -j $(JOBS)

fuzz: deps-test
	scripts/run-fuzz $(FUZZBUILD) $(FUZZ_SECONDS)

# quillmark_<version>_<arch>.deb in $(DEBBUILD), built by dpkg-buildpackage from debian/.
deb: deps-deb
	scripts/make-deb $(DEBBUILD)

deb-check: deb
	scripts/check-deb $(DEBBUILD)

test: unit-tests windows-tests fuzz deb-check

# quillmark-cli for 64-bit Windows, cross-compiled with mingw-w64 and linked statically:
# $(WINBUILD)/quillmark-cli.exe and a zip of it with a short README.
WINCONFIG = cmake -S . -B $(WINBUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DQM_WERROR=$(WERROR) $(LAUNCHER) >/dev/null
windows: deps-windows
	$(WINCONFIG)
	cmake --build $(WINBUILD) -j $(JOBS) --target quillmark-cli
	scripts/package-windows $(WINBUILD)

# The Windows build's tests under Wine (headless, a Wine prefix of its own in $(WINBUILD)),
# with the Linux quillmark-cli of the test build as the reference for its output and copies.
windows-tests: deps-test
	cmake -S . -B $(TESTBUILD) -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON -DQM_WERROR=$(WERROR) \
	  $(LAUNCHER) >/dev/null
	cmake --build $(TESTBUILD) -j $(JOBS) --target quillmark-cli
	$(WINCONFIG) -DQM_LINUX_CLI=$(abspath $(TESTBUILD))/cli/quillmark-cli
	cmake --build $(WINBUILD) -j $(JOBS)
	cd $(WINBUILD) && ctest --output-on-failure -j $(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps-test
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

gallery: deps-run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF $(LAUNCHER) >/dev/null
	cmake --build $(BUILD) --target gallery -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/gallery $(BUILD)/gallery

bench: build deps-bench
	cmake --build $(BUILD) -j $(JOBS)
	scripts/run-bench $(BUILD)

screenshot: build deps-window
	scripts/screenshot $(BUILD)

# Installed binaries are stripped; the build tree keeps its debug information.
install: build
	cmake --install $(BUILD) --strip

clean:
	rm -rf $(BUILD) $(TESTBUILD) $(FUZZBUILD) $(DEBBUILD) $(WINBUILD)
