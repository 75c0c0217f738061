#include "measure/RepeatedFigure.h"

#include <algorithm>
#include <cmath>
#include <numeric>

void RepeatedFigure::SetWanted(int times) {
    wanted_ = std::clamp(times, 1, 5);
    // Already enough towards a smaller count: they wait for the next one,
    // which then completes it.
}

std::optional<double> RepeatedFigure::Add(double value, bool length) {
    if (!taken_.empty() && length != lengths_) taken_.clear();
    lengths_ = length;
    taken_.push_back(value);
    last_.clear();
    if (static_cast<int>(taken_.size()) < wanted_) return std::nullopt;
    last_.swap(taken_);
    taken_.clear();
    return std::accumulate(last_.begin(), last_.end(), 0.0) / static_cast<double>(last_.size());
}

std::optional<double> RepeatedFigure::Spread() const {
    if (last_.size() < 2) return std::nullopt;
    const double mean =
        std::accumulate(last_.begin(), last_.end(), 0.0) / static_cast<double>(last_.size());
    if (mean == 0.0 || !std::isfinite(mean)) return std::nullopt;
    const auto [low, high] = std::minmax_element(last_.begin(), last_.end());
    return (*high - *low) / std::fabs(mean) * 100.0;
}

void RepeatedFigure::Clear() {
    taken_.clear();
    last_.clear();
}
