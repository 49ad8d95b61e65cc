# make run   installs what is missing, builds, and starts the app on its built-in demo
#            (the controller simulator on loopback).
# make test  installs what is missing, builds, and runs every test.
# make install   installs the programs, desktop entry, icon, manual pages and shell completion
#                under PREFIX (default /usr/local; DESTDIR is honoured).
# make package   builds the Debian package (build/kt480nt5_VERSION_ARCH.deb).
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local

.PHONY: all bootstrap build run test install package clean

all: build

bootstrap:
	@scripts/bootstrap.sh

build: bootstrap
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-demo.sh $(BUILD_DIR)

test: build
	@scripts/run-tests.sh $(BUILD_DIR) $(JOBS)

install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

package: build
	@cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf $(BUILD_DIR)
