# A thin wrapper: the build itself is CMake's, the packages the install
# script's.
BUILD      ?= build
TEST_BUILD ?= build-test
JOBS       ?= 2

.PHONY: all run edit test deps build build-tests clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DKIDRILL_TESTS=OFF

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

run: build
	cd $(BUILD)/app && ./kidrill

edit: build
	cd $(BUILD)/app && ./kidlist

$(TEST_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKIDRILL_SANITIZE=ON -DKIDRILL_TESTS=ON

build-tests: deps $(TEST_BUILD)/CMakeCache.txt
	cmake --build $(TEST_BUILD) -j$(JOBS)

test: build-tests
	cd $(TEST_BUILD) && ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
