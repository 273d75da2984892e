# Thin wrapper over CMake. `make run` and `make test` are the two set-up commands of the README.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=
# `make run` and `make test` share $(BUILD) with one set of flags, so the tests reuse every object
# the program was built with. Warnings are errors in both: the code is kept free of them.
WERROR ?= ON
CONFIGURE = cmake -S . -B $(BUILD) -DREELSTAND_WERROR=$(WERROR) $(CMAKE_FLAGS)
SAMPLE = $(BUILD)/sample/reelstand-sample.avi
# The Debian package gets a release build of its own, without the tests.
PKG_BUILD ?= $(BUILD)-deb
# So do the benchmarks: they measure the optimised program. BENCH_FLAGS go to rs_bench.
BENCH_BUILD ?= $(BUILD)-bench
BENCH_FLAGS ?=
# The fuzzers: a clang build of their own, run for FUZZ_SECONDS (the DIB fuzzer a sixth of it).
FUZZ_BUILD ?= $(BUILD)-fuzz
FUZZ_SECONDS ?= 180

.PHONY: run test test-linux test-asan test-tsan build deps deps-test bench deps-bench fuzz deps-fuzz clean package package-check deps-package

# Only the program and its sample scene: the window comes first, the tests and benchmark later.
run: deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j$(JOBS) --target reelstand sample
	$(BUILD)/app/reelstand $(SAMPLE)

# Every test: the Linux build's, then the Windows build's under Wine.
test:
	$(MAKE) test-linux
	$(MAKE) test-windows

test-linux: deps-test
	$(CONFIGURE)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The tests again with AddressSanitizer and UndefinedBehaviorSanitizer (leaks and overflows fail).
test-asan: deps-test
	cmake -S . -B $(BUILD)-asan -DREELSTAND_WERROR=ON -DREELSTAND_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)-asan -j$(JOBS)
	cd $(BUILD)-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --output-on-failure -j$(JOBS)

# The video layer's decode-ahead worker under ThreadSanitizer: the video tests and the app tests,
# which load scenes through it, in a build of their own.
test-tsan: deps-test
	cmake -S . -B $(BUILD)-tsan -DREELSTAND_WERROR=ON -DREELSTAND_TSAN=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)-tsan -j$(JOBS) --target test_video test_app
	cd $(BUILD)-tsan && TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan.supp" \
		ctest --output-on-failure -j$(JOBS) -R '^test_(video|app)\.'

build:
	$(CONFIGURE)
	cmake --build $(BUILD) -j$(JOBS)

# $(PKG_BUILD)/reelstand_<version>_<arch>.deb, with its dependencies worked out by dpkg-shlibdeps.
# Compiled with Debian's hardening flags (every feature: also bind-now).
package: deps-package
	eval "$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)" && \
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=Release -DREELSTAND_TESTS=OFF \
		-DCMAKE_CXX_FLAGS="$$CPPFLAGS $$CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$$LDFLAGS" $(CMAKE_FLAGS)
	cmake --build $(PKG_BUILD) -j$(JOBS)
	rm -f $(PKG_BUILD)/reelstand_*.deb
	cd $(PKG_BUILD) && cpack -G DEB

# Validates the package's desktop entry, metadata, icons, manual page and dependencies.
package-check: package
	packaging/check.sh $(PKG_BUILD)/reelstand_*.deb

# One table: load time against ffmpeg's, memory, tick and playback cost, with the goals. It runs
# for a few minutes and is never part of `make test`: times must not gate CI.
bench: deps-bench
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target rs_bench
	$(BENCH_BUILD)/bench/rs_bench $(BENCH_FLAGS)

# Fails on any crash, leak, timeout or memory blow-up; the failing input is kept in
# $(FUZZ_BUILD)/fuzz-artifacts.
fuzz: deps-fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++-14 -DREELSTAND_FUZZ=ON \
		-DREELSTAND_TESTS=OFF -DREELSTAND_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target rs_fuzz_scene rs_fuzz_dib fixtures
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

deps:
	scripts/deps.sh run

deps-test:
	scripts/deps.sh test

deps-package:
	scripts/deps.sh package

deps-bench:
	scripts/deps.sh bench

deps-fuzz:
	scripts/deps.sh fuzz

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-tsan $(PKG_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)

# Windows: the same build with the port win32, cross-built with MinGW-w64 (cmake/toolchain-*.cmake,
# cmake/Windows.cmake). The generators run on Linux, so the Linux build folder $(BUILD) provides
# the skins, icon and test scenes first.
WIN_BUILD ?= $(BUILD)-win
WIN_ARCHS = x86_64 i686
.PHONY: windows test-windows deps-windows windows-host clean-windows

windows-host:
	cmake -S . -B $(BUILD) -DREELSTAND_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS) --target fixtures rs_resources sample_windows

# Both architectures with warnings as errors, and the import check of every program built. Each
# build folder gets the packages: reelstand-<version>-windows-<arch>.zip and ...-setup.exe.
windows: deps-windows windows-host
	set -e; for arch in $(WIN_ARCHS); do \
		cmake -S . -B $(WIN_BUILD)-$$arch --toolchain cmake/toolchain-$$arch-w64-mingw32.cmake \
			-DREELSTAND_WERROR=ON -DREELSTAND_HOST_BUILD=$(CURDIR)/$(BUILD) $(CMAKE_FLAGS); \
		cmake --build $(WIN_BUILD)-$$arch -j$(JOBS); \
		(cd $(WIN_BUILD)-$$arch && ctest --output-on-failure -R imports); \
	done
	@ls -l $(foreach arch,$(WIN_ARCHS),$(WIN_BUILD)-$(arch)/reelstand-*-windows-$(arch)*) 2>/dev/null || true

# The x86-64 tests under Wine (64-bit; this machine cannot execute 32-bit programs), the smoke
# test of reelstand.exe from its zip and the installer's included.
test-windows: deps-windows windows-host
	cmake -S . -B $(WIN_BUILD)-x86_64 --toolchain cmake/toolchain-x86_64-w64-mingw32.cmake \
		-DREELSTAND_WERROR=ON -DREELSTAND_HOST_BUILD=$(CURDIR)/$(BUILD) $(CMAKE_FLAGS)
	cmake --build $(WIN_BUILD)-x86_64 -j$(JOBS)
	cd $(WIN_BUILD)-x86_64 && ctest --output-on-failure

deps-windows:
	scripts/deps.sh windows

clean: clean-windows
clean-windows:
	rm -rf $(addprefix $(WIN_BUILD)-,$(WIN_ARCHS))
