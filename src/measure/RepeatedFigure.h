#pragma once

#include <optional>
#include <vector>

// The same outline measured several times, as a planimeter's averaging does:
// one trace by hand is never exact, so the mean of two to five is taken, and
// the spread tells whether the traces agree. Values of one kind only (areas
// or lengths): a figure of the other kind starts the count again.
class RepeatedFigure {
  public:
    // How many times each figure is measured, 1 to 5; 1 is a single
    // measurement, as without this function. Values already taken stay
    // until the count is reached or cleared.
    void SetWanted(int times);
    int Wanted() const { return wanted_; }

    // Takes one measurement. Returns the mean once the wanted number has
    // been taken (the values are then kept for Spread until the next Add),
    // else nothing.
    std::optional<double> Add(double value, bool length);
    // Measurements taken towards the next mean.
    const std::vector<double>& Taken() const { return taken_; }
    // The measurements the last mean was made of.
    const std::vector<double>& LastSet() const { return last_; }
    // (max − min) / mean of the last set, in per cent; none for a mean of 0.
    std::optional<double> Spread() const;
    // Drops the measurements towards the next mean and the last set.
    void Clear();

  private:
    int wanted_ = 1;
    bool lengths_ = false;
    std::vector<double> taken_;
    std::vector<double> last_;
};
