# make run   installs what is missing, builds, and starts the app on its built-in demo
#            (the controller simulator on loopback).
# make test  installs what is missing, builds, and runs every test.
# make install   installs the programs, desktop entry, icon, manual pages and shell completion
#                under PREFIX (default /usr/local; DESTDIR is honoured).
# make package   builds the Debian package (build/kt480nt5_VERSION_ARCH.deb) in a build tree
#                of its own, without the tests, with Debian's hardening flags; installs lintian
#                and checks the package with it.
# make test-asan  the same in a build with the address and undefined-behaviour sanitizers (at -O1,
#                 without the benchmarks, the package check and the completion check, and
#                 with fewer kill points).
# make fuzz  builds the fuzz targets with clang and runs each for FUZZ_SECONDS.
# make translations  takes the program's translatable texts into lang/translations/*.ts
#                    (new texts arrive unfinished; the translations test names them).
# The builds print warnings and errors in full but not every file built (the whole log is in
# BUILD_DIR/build.log).
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
PACKAGE_DIR ?= build-package
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
ASAN_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
ASAN_OPTIONS ?= detect_leaks=1:abort_on_error=1
UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1

.PHONY: all bootstrap build run test test-asan fuzz install package translations clean

all: build

bootstrap:
	@scripts/bootstrap.sh

# Line tables only (-g1): backtraces and profiles keep their lines, and a build takes a third
# less time than with full debug information.
BUILD_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"

build: bootstrap
	@scripts/build.sh $(BUILD_DIR) $(JOBS) $(BUILD_FLAGS)

run: build
	@scripts/run-demo.sh $(BUILD_DIR)

test: build
	@scripts/bootstrap.sh test
	@scripts/run-tests.sh $(BUILD_DIR) $(JOBS)

install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

package:
	@scripts/bootstrap.sh package
	@scripts/package.sh $(PACKAGE_DIR) $(BUILD_DIR) $(JOBS)

translations: bootstrap
	@cmake -S . -B $(BUILD_DIR) $(BUILD_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) --target translations

test-asan: bootstrap
	@scripts/bootstrap.sh test
	@scripts/build.sh $(ASAN_DIR) $(JOBS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS="$(ASAN_FLAGS)" \
		-DKT480_TIMEOUT_SCALE=3 -DKT480_BUILD_BENCHMARKS=OFF -DKT480_KILL_POINTS=15
	@ASAN_OPTIONS=$(ASAN_OPTIONS) UBSAN_OPTIONS=$(UBSAN_OPTIONS) \
		scripts/run-tests.sh $(ASAN_DIR) $(JOBS) -E '^(package|completion)$$'

fuzz:
	@scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(JOBS)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(PACKAGE_DIR)
