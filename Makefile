# Thin wrapper over CMake. `make run` and `make test` are the two set-up commands of the README.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=
SAMPLE = $(BUILD)/sample/reelstand-sample.avi

.PHONY: run test test-asan build deps deps-test bench clean

run: deps build
	$(BUILD)/app/reelstand $(SAMPLE)

test: deps-test
	cmake -S . -B $(BUILD) -DREELSTAND_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The tests again with AddressSanitizer and UndefinedBehaviorSanitizer (leaks and overflows fail).
test-asan: deps-test
	cmake -S . -B $(BUILD)-asan -DREELSTAND_WERROR=ON -DREELSTAND_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)-asan -j$(JOBS)
	cd $(BUILD)-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --output-on-failure -j$(JOBS)

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

deps:
	scripts/deps.sh run

deps-test:
	scripts/deps.sh test

clean:
	rm -rf $(BUILD) $(BUILD)-asan
