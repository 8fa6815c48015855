# Two entry points, both safe to run again and quick when nothing changed:
#   make run   installs what is missing, builds, and runs the setup program
#   make test  installs what is missing, builds, and runs the whole test suite
BUILD := build
JOBS  := $(shell nproc)

.PHONY: run test build deps clean

run: build
	@cmake/run-setup.sh $(BUILD)

test: build
	cmake/run-tests.sh $(BUILD)

build: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake --preset windows
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@cmake/install-deps.sh

clean:
	rm -rf $(BUILD)
