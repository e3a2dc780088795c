# Fresh machine: `make run` starts the program, `make test` runs every test,
# `make test-sanitize` runs them again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
PROGRAM_DIR := $(BUILD)/bin
DATABASE := $(PROGRAM_DIR)/Bd DedUvevaro.mdb

.PHONY: all deps configure build program run test test-sanitize bench mutate clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD) -G Ninja

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only what the program needs: the program and its database tool.
program: configure
	cmake --build $(BUILD) -j $(JOBS) --target Tarvel tarvel-createdb

run: program
	@test -f "$(DATABASE)" || "$(PROGRAM_DIR)/tarvel-createdb" "$(PROGRAM_DIR)"
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "Sem tela gráfica (DISPLAY): iniciando sob xvfb-run."; \
	  xvfb-run -a "$(PROGRAM_DIR)/Tarvel"; \
	else "$(PROGRAM_DIR)/Tarvel"; fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

$(SANITIZE_BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DTARVEL_SANITIZE=ON

# The sanitizer settings reach every test through CTest (see CMakeLists.txt).
test-sanitize: deps $(SANITIZE_BUILD)/build.ninja
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

# The mutation check (scripts/mutations.txt), in its own shared-library build
# folder; never part of `make test` or the CI.
mutate: deps
	JOBS=$(JOBS) scripts/mutate

bench: build
	@for b in $(BUILD)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	  echo "== $$b"; "$$b" || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-mutate
