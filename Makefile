# make run   installs what is missing, builds, and starts the app on its built-in demo
#            (the controller simulator on loopback).
# make test  installs what is missing, builds, and runs every test.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all bootstrap build run test clean

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

clean:
	rm -rf $(BUILD_DIR)
