# The commands recurse into the build's own make; its directory notes are noise.
MAKEFLAGS += --no-print-directory

BUILD   := build
PREFIX  := $(CURDIR)/$(BUILD)/wineprefix
WINE    := cmake/wine-run.sh $(PREFIX)
JOBS    := $(shell nproc)

.PHONY: build test demo bench dist tools configure

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

# Runs one program of the build under Wine, once Wine's own services are up,
# and ends the Wine session after it with the program's status.
define run_under_wine
	@$(WINE) --init
	@$(WINE) cmd.exe /c exit </dev/null >/dev/null 2>&1
	@$(WINE) $(1); status=$$?; WINEPREFIX=$(PREFIX) wineserver -k; exit $$status
endef

# The demo host in build/demo, beside the library and the simulated backend.
demo: build
	$(call run_under_wine,$(BUILD)/demo/VornelDemo.exe)

# The benchmark host in build/bench; it writes build/bench/results.json.
bench: build
	$(call run_under_wine,$(BUILD)/bench/VornelBench.exe)

dist: build
	@cmake --build $(BUILD) --target dist
