# The commands recurse into the build's own make; its directory notes are noise.
MAKEFLAGS += --no-print-directory

BUILD   := build
PREFIX  := $(CURDIR)/$(BUILD)/wineprefix
WINE    := cmake/wine-run.sh $(PREFIX)
JOBS    := $(shell nproc)

.PHONY: build test demo dist tools configure

tools:
	@cmake/install-tools.sh

configure: tools
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
	    -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)
	@echo "Built $(BUILD)/bin/Vornel.dll"

# The Wine prefix is made once, before any test starts; one session stays
# open across the suite and is ended with it, whatever the outcome.
test: build
	@$(WINE) --init
	@$(WINE) $(BUILD)/bin/wine_session.exe </dev/null >/dev/null 2>&1 &
	@$(WINE) cmd.exe /c exit </dev/null >/dev/null 2>&1  # waits out the session's start
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS); status=$$?; \
	    WINEPREFIX=$(PREFIX) wineserver -k; exit $$status

# The demo host in build/demo, beside the library and the simulated backend.
demo: build
	@$(WINE) --init
	@$(WINE) $(BUILD)/demo/VornelDemo.exe; status=$$?; \
	    WINEPREFIX=$(PREFIX) wineserver -k; exit $$status

dist: build
	@cmake --build $(BUILD) --target dist
