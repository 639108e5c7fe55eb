# The two set-up commands: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test install deb package-check bench clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/quillora $(FILE)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# Installs into PREFIX (default /usr/local); DESTDIR stages the files for a package.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The Debian package quillora_<version>_amd64.deb in DEB_DIR, packed by CPack from the
# build (only what is installed is built, no second compile); see "Debian package" in
# README.md.
DEB_DIR ?= .
INSTALLED_TARGETS = quillora quillora-script quillora_docs
deb: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target $(INSTALLED_TARGETS)
	@./scripts/make-deb.sh $(BUILD_DIR) $(DEB_DIR)

# Packs into a temporary folder and checks the package's fields, files and lintian.
package-check: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target $(INSTALLED_TARGETS)
	./scripts/check-package.sh $(BUILD_DIR)

# Release build, generated data, medians of several runs: see bench/README.md.
bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench -j $(JOBS) --target quillora quillora_bench quillora-script
	QT_QPA_PLATFORM=offscreen python3 bench/run.py build-bench $(BENCH_ARGS)

clean:
	rm -rf $(BUILD_DIR)
