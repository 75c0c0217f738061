// Number texts, fuzzed: any text that reads as a number, and any double,
// formatted with 0 to 6 decimals, reads back, and formatting what was read
// gives the same text again, as does a text taken as already formatted (the
// largest doubles, which would round to infinity, give none); the half-even
// rounding never leaves the 32-bit range.
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "FuzzCheck.h"
#include "grid/NumberText.h"

namespace {

void FormatIsStable(double value, int decimals) {
    const QString text = FormatDecimals(value, decimals);
    if (!std::isfinite(value)) {
        FUZZ_CHECK(text.isEmpty());
        return;
    }
    // Only the largest doubles get no text: at 15 digits they would round
    // past the largest double and read back as infinity.
    if (text.isEmpty()) {
        FUZZ_CHECK(std::fabs(value) > 1.79769313486231e308);
        return;
    }
    FUZZ_CHECK(!text.contains(u'e') && !text.contains(u'E'));
    const std::optional<double> back = ParseNumber(text);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(FormatDecimals(*back, decimals) == text);
}

void RoundsInRange(double value) {
    const std::optional<int> rounded = RoundHalfEven(value);
    if (!rounded) return;
    FUZZ_CHECK(std::fabs(static_cast<double>(*rounded) - value) <= 0.5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int decimals = data[0] % 7;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    // A text taken as already formatted must be exactly what formatting it
    // again would give.
    if (IsFormattedDecimals(text, decimals)) {
        const std::optional<double> value = ParseNumber(text);
        FUZZ_CHECK(value && FormatDecimals(*value, decimals) == text);
    }
    if (const std::optional<double> value = ParseNumber(text)) {
        FUZZ_CHECK(std::isfinite(*value));
        FormatIsStable(*value, decimals);
        RoundsInRange(*value);
    }
    if (size >= 1 + sizeof(double)) {
        double raw;
        std::memcpy(&raw, data + 1, sizeof raw);
        FormatIsStable(raw, decimals);
        if (std::isfinite(raw)) RoundsInRange(raw);
    }
    return 0;
}
