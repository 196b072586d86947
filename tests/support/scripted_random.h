// A random source whose draws the test decides.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "base/random_source.h"

namespace orvex::test {

// Draws given by a function of the draw's number (0, 1, ...). Seeds go to
// on_seed when there is one and change nothing else.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::function<int(long)> script, std::function<void(std::uint32_t)> on_seed = {})
        : script_(std::move(script)), on_seed_(std::move(on_seed)) {}
    void seed(std::uint32_t value) override {
        if (on_seed_) on_seed_(value);
    }
    int draw() override { return script_(count_++); }

private:
    std::function<int(long)> script_;
    std::function<void(std::uint32_t)> on_seed_;
    long count_ = 0;
};

// The listed draws first, then `then` for ever.
inline std::unique_ptr<RandomSource> scripted_draws(std::vector<int> first, int then) {
    return std::make_unique<ScriptedRandom>(
        [first = std::move(first), then](long k) { return k < static_cast<long>(first.size()) ? first[k] : then; });
}

}  // namespace orvex::test
