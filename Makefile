# A thin wrapper: the build itself is CMake's, the packages the install
# script's.
BUILD      ?= build
TEST_BUILD ?= build-test
FUZZ_BUILD ?= build-fuzz
DEB_BUILD  ?= build-deb
FUZZ_SECONDS ?= 60
JOBS       ?= 2
# The longest tests mostly wait (on a sound server, on programs they start),
# so more of them run at once than there are cores.
TEST_JOBS  ?= 4
PREFIX     ?= $(HOME)/.local
# The build's own progress, without a line for every directory make enters.
MAKEFLAGS  += --no-print-directory

.PHONY: all run edit test fuzz bench deb deps build build-tests install uninstall clean

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
	cd $(TEST_BUILD) && ctest --output-on-failure -j$(TEST_JOBS)

$(FUZZ_BUILD)/CMakeCache.txt: | deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIDRILL_FUZZ=ON

# Every fuzz target for FUZZ_SECONDS seconds each.
fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j$(JOBS)
	scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The hot paths against the toolkit's floor; also writes $(BUILD)/bench.tsv.
bench: build
	cmake --build $(BUILD) -j$(JOBS) --target benchmarks
	scripts/bench $(BUILD)

# Built as Debian builds its packages: optimised, hardened, with the paths
# of this tree left out of the binaries; stripped by CPack.
$(DEB_BUILD)/CMakeCache.txt: | deps
	CXXFLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIDRILL_TESTS=OFF -DKIDRILL_DEB=ON

# kidrill_<version>_amd64.deb, in this directory.
deb: deps $(DEB_BUILD)/CMakeCache.txt
	cmake --build $(DEB_BUILD) -j$(JOBS)
	rm -f $(DEB_BUILD)/package/*.deb
	cd $(DEB_BUILD) && cpack
	cp $(DEB_BUILD)/package/*.deb .
	@ls -l kidrill_*.deb

install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"
	@if command -v update-desktop-database >/dev/null; then update-desktop-database -q "$(PREFIX)/share/applications"; fi
	@if command -v gtk-update-icon-cache >/dev/null; then gtk-update-icon-cache -q -t "$(PREFIX)/share/icons/hicolor"; fi

# PURGE=1 also removes the settings file and the word list.
uninstall:
	scripts/uninstall "$(PREFIX)" $(if $(PURGE),--purge)

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(FUZZ_BUILD) $(DEB_BUILD)
