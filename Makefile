# The commands recurse into the build's own make; its directory notes are noise.
MAKEFLAGS += --no-print-directory

# Two build trees, one per edition: the 32-bit library (the primary product)
# in build/, the x64 edition in build/x64/, laid out alike.
BUILD   := build
X64     := $(BUILD)/x64
JOBS    := $(shell nproc)
SESSION := cmake/wine-session.sh

# Runs $(1) for each edition, 32-bit first, "<tree> <wine arch>" in $$1 $$2;
# every edition runs even when an earlier one fails, and the recipe fails
# if any did.
define for_each_edition
	@status=0; for edition in "$(BUILD) win32" "$(X64) win64"; do \
	    set -- $$edition; $(1) || status=1; done; exit $$status
endef

.PHONY: build test demo bench dist tools configure

tools:
	@cmake/install-tools.sh

configure: tools
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DKIT_DIR=$(CURDIR)/$(BUILD)/dist >/dev/null
	@cmake -S . -B $(X64) -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DKIT_DIR=$(CURDIR)/$(BUILD)/dist >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)
	@cmake --build $(X64) -j $(JOBS)
	@echo "Built $(BUILD)/bin/Vornel.dll (x86) and $(X64)/bin/Vornel.dll (x64)"

# The whole suite of each edition under its own Wine session; the kit is
# packed first, for the tests that build against it as a user would.
test: dist
	$(call for_each_edition,echo "== $$1: tests ($$2) ==" && \
	    $(SESSION) $$1 $$2 ctest --test-dir $$1 --output-on-failure -j $(JOBS))

# The demo host in each tree's demo/, beside the library and the simulated backend.
demo: build
	$(call for_each_edition,echo "== $$1: demo ($$2) ==" && $(SESSION) $$1 $$2 \
	    cmake/wine-run.sh $(CURDIR)/$$1/wineprefix $$2 $$1/demo/VornelDemo.exe)

# The benchmark host in each tree's bench/, each writing its edition's
# results-<edition>.json; both go into build/bench/results.json, one entry
# per edition.
bench: build
	$(call for_each_edition,echo "== $$1: bench ($$2) ==" && $(SESSION) $$1 $$2 \
	    cmake/wine-run.sh $(CURDIR)/$$1/wineprefix $$2 $$1/bench/VornelBench.exe)
	@{ printf '{"editions": [\n'; cat $(BUILD)/bench/results-x86.json; printf ',\n'; \
	    cat $(X64)/bench/results-x64.json; printf ']}\n'; } > $(BUILD)/bench/results.json
	@echo "Both editions: $(BUILD)/bench/results.json"

# Both editions in one kit: the x64 tree stages its part, the 32-bit tree
# adds its own and the shared files and packs the whole.
dist: build
	@rm -rf $(BUILD)/dist
	@cmake --build $(X64) --target kit_edition
	@cmake --build $(BUILD) --target dist
