# Two entry points, both safe to run again and quick when nothing changed:
#   make run   installs what is missing, builds, and runs the setup program
#   make test  installs what is missing, builds both builds, runs the suite
# build/ is the shipped program (32-bit x86); build-x64/ the same program
# built for 64-bit Windows, whose unit tests run too.
BUILD     := build
BUILD_X64 := build-x64
JOBS      := $(shell nproc)

.PHONY: run test guest-test build build-x64 deps clean

# Where this machine cannot run the 32-bit build, the 64-bit twin runs.
run: build
	@cmake/wine-prefix.sh --runs-32bit || $(MAKE) --no-print-directory build-x64
	@cmake/run-setup.sh $(BUILD) $(BUILD_X64)

test: build build-x64
	cmake/run-tests.sh $(BUILD) $(BUILD_X64)

# The emulated i386 guest lane alone (tests/guest/tests.cmake), also part
# of `make test`: the shipped 32-bit build where this machine cannot run it.
guest-test: build
	ctest --test-dir $(BUILD) -L guest --output-on-failure

# A build folder configured for another toolchain (build/ was the 64-bit
# build before) is configured afresh.
build: deps
	@grep -qs 'toolchain-mingw32.cmake' $(BUILD)/CMakeCache.txt || cmake --preset windows --fresh
	cmake --build $(BUILD) -j $(JOBS)

build-x64: deps
	@grep -qs 'toolchain-mingw64.cmake' $(BUILD_X64)/CMakeCache.txt || cmake --preset windows-x64 --fresh
	cmake --build $(BUILD_X64) -j $(JOBS)

deps:
	@cmake/install-deps.sh

clean:
	rm -rf $(BUILD) $(BUILD_X64)
