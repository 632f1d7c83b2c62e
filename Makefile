# make run   - install what is missing, build the tool and the simulated drive, start them
# make test  - install what is missing, build, run every test
# make asan-test - the whole suite again with AddressSanitizer and UBSan
# make soak SECONDS=600 - the window against a faulty simulated drive for that long
# make package - the Debian package $(BUILD)/kolven-assistant_<version>_<arch>.deb
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
ASAN_BUILD ?= build-asan
CMAKE_FLAGS ?=
SECONDS ?= 60
# Ninja when it is installed (scripts/setup-deps.sh installs it): it compiles a
# library's files while the libraries it uses are still being archived. Asked
# when a build folder is first configured, after the packages are installed.
CMAKE_GENERATOR ?= $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo 'Unix Makefiles')
# The generator for a folder not configured yet; a configured one keeps its own.
generator_for = $(if $(wildcard $(1)/CMakeCache.txt),,-G '$(CMAKE_GENERATOR)')

.PHONY: all deps configure build test run asan-test bench soak package clean

all: build

deps:
	@bash scripts/setup-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(call generator_for,$(BUILD)) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: configure
	cmake --build $(BUILD) -j $(JOBS) --target kolven-assistant drive-sim
	bash scripts/run.sh $(BUILD)

asan-test: deps
	cmake -S . -B $(ASAN_BUILD) $(call generator_for,$(ASAN_BUILD)) -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

soak: configure
	cmake --build $(BUILD) -j $(JOBS) --target soak
	$(BUILD)/tests/soak/soak $(SECONDS)

package: configure
	cmake --build $(BUILD) -j $(JOBS) --target kolven-assistant drive-sim kv_package_files
	cd $(BUILD) && cpack -G DEB

bench: build
	bash scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
