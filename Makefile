# make run     - build the libraries, the bindings and quillon-check, install
#                them with the vector data into $(PREFIX), and run every suite
#                against the bundled bindings. Builds none of the kit's own tests.
# make install - the same build, installed into $(PREFIX) (e.g. PREFIX=/usr/local).
# make test    - build and run all tests, then again under AddressSanitizer and
#                UndefinedBehaviorSanitizer (clang).
# Each first installs any missing Debian packages (as root), or stops with the
# exact apt-get line to run.

BUILD_DIR    ?= build
SANITIZE_DIR ?= build-sanitize
PREFIX       ?= $(CURDIR)/$(BUILD_DIR)/prefix
JOBS         ?= $(shell nproc)
CMAKE_FLAGS  ?=
# Optimised, without debug information: a third less compile time than
# RelWithDebInfo, and the suites run as fast. -O2 rather than Release's -O3,
# which costs a quarter more compile time and gains nothing here. The tests
# share this build; the sanitizer build has debug information.
BUILD_TYPE_FLAGS := -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"

# What each package is for is listed in README.md.
PACKAGES := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev librapidcheck-dev \
            libssl-dev nettle-dev libbotan-2-dev
SANITIZE_PACKAGES := clang-14 libclang-rt-14-dev
BENCH_PACKAGES := libbenchmark-dev

# $(call ensure_packages,<packages>)
define ensure_packages
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing missing packages:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing >/dev/null || exit 1; \
	  else \
	    echo "Missing Debian packages. Run:"; echo "  sudo apt-get install -y --no-install-recommends$$missing"; exit 1; \
	  fi; \
	fi
endef

.PHONY: run install test test-main test-sanitize configure build deps deps-sanitize bench clean

run: build
	cmake --install $(BUILD_DIR) >/dev/null
	$(PREFIX)/bin/quillon-check --gtest_brief=1

# Headers, libraries, CMake package, quillon-check and the vector data (the
# built-in data directory follows PREFIX).
install: build
	cmake --install $(BUILD_DIR)

test: test-main test-sanitize

test-main: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps deps-sanitize
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DQUILLON_TESTS_SANITIZERS=address,undefined \
	  -DQUILLON_TESTS_BUILD_APPS=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS)

# What is installed, and nothing else: quillon-check links the libraries and
# every binding. The kit's own test programs are built by `make test` only.
build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quillon-check

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(BUILD_TYPE_FLAGS) \
	  $(CMAKE_FLAGS) >/dev/null

bench: deps
	$(call ensure_packages,$(BENCH_PACKAGES))
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DQUILLON_TESTS_BUILD_BENCHMARKS=ON -DQUILLON_TESTS_BUILD_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/*_bench; do echo "== $$b"; $$b || exit 1; done

deps:
	$(call ensure_packages,$(PACKAGES))

deps-sanitize:
	$(call ensure_packages,$(SANITIZE_PACKAGES))

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) build-bench
