# Front door. `make run` sets up and starts Quillmark; `make test` sets up and passes every test.
JOBS       ?= $(shell nproc)
BUILD      ?= build
TESTBUILD  ?= build-test
FUZZBUILD  ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: deps build run test unit-tests fuzz gallery bench screenshot format install clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-quillmark $(BUILD)

# Tests build under AddressSanitizer and UndefinedBehaviorSanitizer.
unit-tests: deps
	cmake -S . -B $(TESTBUILD) -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON >/dev/null
	cmake --build $(TESTBUILD) -j $(JOBS)
	cd $(TESTBUILD) && ctest --output-on-failure -j $(JOBS)

fuzz: deps
	scripts/run-fuzz $(FUZZBUILD) $(FUZZ_SECONDS)

test: unit-tests fuzz

gallery: build
	cmake --build $(BUILD) --target gallery -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/gallery $(BUILD)/gallery

bench: build
	scripts/run-bench $(BUILD)

screenshot: build
	scripts/screenshot $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(TESTBUILD) $(FUZZBUILD)
