# The two commands of the README. Both install what is missing first.
BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
DEMO_HOME  ?= $(BUILD)/home

.PHONY: all deps build run test fuzz-build bench demo package clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j$(JOBS)

demo: build
	@bash tools/make-demo.sh "$(DEMO_HOME)"

run: demo
	VISTROVA_HOME="$(abspath $(DEMO_HOME))" "$(BUILD)/vistrova"

fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -DVISTROVA_FUZZ_ONLY=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j$(JOBS)

test: fuzz-build
	cmake -S . -B $(BUILD) -DVISTROVA_WERROR=ON -DVISTROVA_FUZZ_DIR="$(abspath $(FUZZ_BUILD))"
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ "$${b##*/}" = bench_player_show ] && continue; echo "== $$b"; "$$b"; done
	@bash bench/player_x11.sh $(BUILD)

package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
