# The two set-up commands of a fresh Debian 12 machine (as root, or with sudo):
#   make run    installs what is missing, builds, starts the simulator on COM1 and the program
#   make test   installs what is missing, builds, runs every test
# For developers:
#   make test-sanitize   the unit and end-to-end tests and the fuzz inputs again, built with
#                        AddressSanitizer and UndefinedBehaviorSanitizer (in build-asan/)
#   make test-busy       the widget and end-to-end tests BUSY_RUNS times (5) while two busy loops
#                        keep two cores occupied, as on a shared CI machine; any failure fails it
#   make fuzz            runs every fuzz target for FUZZ_SECONDS seconds, or until FUZZ_RUNS
#                        executions when that is set, FUZZ_JOBS at once (clang, in build-fuzz/)
# To install as a Debian package:
#   make package         builds build/tq740-sw_<version>_<arch>.deb; then
#                        sudo apt install ./build/tq740-sw_*.deb
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 120
FUZZ_RUNS ?= 0
FUZZ_JOBS ?= 1
BUSY_RUNS ?= 5
JOBS ?= $(shell nproc)
PACKAGES = cmake g++ make qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libqt6sql6-psql postgresql qt6-qpa-plugins libgtest-dev libgmock-dev locales-all fonts-liberation poppler-utils \
	desktop-file-utils appstream dpkg-dev file help2man
FUZZ_PACKAGES = clang-14 libfuzzer-14-dev
SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Any sanitizer finding fails the test that met it; leaks are checked at exit.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

.PHONY: deps fuzz-deps build test test-sanitize test-busy fuzz run package clean

# Installs the Debian packages of $(1) that are missing.
define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing: $$missing"; \
		$(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

fuzz-deps: deps
	$(call install_missing,$(FUZZ_PACKAGES))

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ740_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target tq740_unit_tests tq740_e2e_tests fuzz_replays
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen \
		ctest --output-on-failure -j $(JOBS) -L 'unit|e2e|fuzz'

# The busy loops are ended when the target ends, whether the runs passed,
# failed or were interrupted.
test-busy:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target tq740_qt_tests tq740_e2e_tests
	@cd $(BUILD) || exit 1; \
	( while :; do :; done ) & busy1=$$!; \
	( while :; do :; done ) & busy2=$$!; \
	trap 'kill $$busy1 $$busy2 2>/dev/null' EXIT; \
	trap 'exit 130' INT TERM; \
	failed=0; \
	for run in $$(seq $(BUSY_RUNS)); do \
		echo "== run $$run of $(BUSY_RUNS), two cores busy"; \
		QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -L 'widget|e2e' || failed=$$((failed + 1)); \
	done; \
	echo "== $$failed of $(BUSY_RUNS) runs failed"; \
	[ $$failed -eq 0 ]

fuzz: fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ740_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	$(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen tests/fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_RUNS) $(FUZZ_JOBS)

run: build
	./scripts/run-with-simulator.sh $(BUILD)

# The Debian package of the build (CPack; packaging/packaging.cmake).
package: build
	cmake --build $(BUILD) --target package
	@ls $(BUILD)/tq740-sw_*.deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
