# Tallox: set-up, build, test, run and benchmark.
# Every Debian package Tallox needs to build, test and run is listed here, once.
PACKAGES := g++ make cmake ninja-build pkg-config \
	qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libqt6sql6-psql postgresql-15 libgl-dev libxlsxwriter-dev libsqlite3-dev zlib1g-dev libzip-dev \
	qt6-translations-l10n qt6-tools-dev qt6-l10n-tools fonts-nanum xvfb xauth clang-format poppler-utils \
	dpkg-dev file appstream desktop-file-utils man-db

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# More CMake options for the build folder, e.g. -DTALLOX_WERROR=ON (CI).
CMAKE_OPTIONS ?=
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build test test-fast sanitize run install package bench format format-check translations clean

all: build

# Install only what is missing, so that a ready machine does not touch apt.
deps:
	@missing=""; for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		$(SUDO) apt-get update -q && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_OPTIONS)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The suite without the slow tests (PostgreSQL server, package): a quick check while working.
test-fast: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS) -LE slow

# The suite (without the slow tests) built with AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build folder of its own.
sanitize: deps
	cmake -S . -B $(BUILD_DIR)-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOX_SANITIZE=ON
	cmake --build $(BUILD_DIR)-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --test-dir $(BUILD_DIR)-sanitize --output-on-failure -j $(JOBS) -LE slow

# Starts Tallox on its embedded default database (the application folder's dbs).
run: build
	./$(BUILD_DIR)/tallox $(ARGS)

# The program, its menu entry, icon, metainfo and man page; DESTDIR is honoured.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package in $(BUILD_DIR)/package: sudo apt install ./build/package/tallox_*.deb
package: build
	cd $(BUILD_DIR) && cpack

# Refreshes translations/tallox_en.ts from the sources (lupdate); new texts then
# wait there for their English (see README, Languages).
translations: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) --target update_translations

bench: deps
	cmake -S . -B $(BUILD_DIR)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOX_BENCH=ON
	cmake --build $(BUILD_DIR)-bench -j $(JOBS) --target tallox_bench
	./$(BUILD_DIR)-bench/bench/tallox_bench

format: deps
	find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format -i

# Fails on any file that `make format` would change; changes nothing.
format-check: deps
	find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench $(BUILD_DIR)-sanitize
