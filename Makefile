# Korvanto: build, run, test.
BUILD ?= build
HOME_DIR := $(BUILD)/home
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean tsan fuzz install deb

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD)

# Starts the program in a prepared home folder, which becomes its home
# directory, with the demo song on the play list: press F5 to hear it.
run: build
	@scripts/prepare-home $(BUILD) $(HOME_DIR)
	cd $(HOME_DIR) && $(CURDIR)/$(BUILD)/korvanto $$([ -f Demo.sng ] && echo Demo.sng)

# Installs the program, its menu entry, icons, file types, manual page and
# the shared content under PREFIX (DESTDIR is honoured).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package in $(BUILD): apt install ./$(BUILD)/korvanto_*.deb
deb: build
	cd $(BUILD) && cpack -G DEB

# A test that fails is run once more before it counts as failed: the JACK
# tests run real servers side by side on a small machine, which now and then
# turns a client away or misses a cycle. A fault fails both runs.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --repeat until-pass:2

# PulseAudio only serves the benchmarks: without it their server run is skipped.
bench: build
	@scripts/install-deps bench || echo "bench: PulseAudio not installed, its run is skipped"
	@scripts/run-benches $(BUILD)

clean:
	rm -rf $(BUILD) build-*

# Threaded tests under ThreadSanitizer.
tsan: deps
	@scripts/tsan

# Fuzzes the file readers: make fuzz SECONDS=600
SECONDS ?= 60
fuzz: deps
	@scripts/fuzz $(SECONDS)
