// The text table the autosave and the CSV file hold, fuzzed two ways:
// - any bytes read as a saved table load without a fault, and their lines
//   split the same way a second time;
// - a grid built from the input, written as a table and read back, gives
//   every cell again: numbers in the current decimals, other text as it was,
//   nothing outside the used rectangle but blanks.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "exchange/CsvFile.h"
#include "FuzzCheck.h"
#include "grid/GridModel.h"
#include "grid/NumberText.h"
#include "exchange/RestoreTable.h"
#include "exchange/TextTable.h"

namespace {

constexpr int kMaxRows = 200;
constexpr int kMaxCols = 60;

void LoadAnyBytes(const QByteArray& bytes, int decimals) {
    QStringDecoder decoder(QStringConverter::System);
    const QString decoded = decoder.decode(bytes);
    const QString text = SplitTextTableLines(decoded);
    FUZZ_CHECK(text.isEmpty() || text.endsWith(u"\r\n"));
    FUZZ_CHECK(SplitTextTableLines(text) == text);

    const TableShape shape = MeasureTable(text, u',');
    GridModel grid(std::min(shape.rows, kMaxRows) + 1, std::min(shape.cols, kMaxCols) + 1);
    const RestoredTable restored = RestoreTable(text, u',', grid, decimals);
    FUZZ_CHECK(restored.outside >= 0);
    FUZZ_CHECK(restored.lastAcrossRow <= shape.rows && restored.lastDownCol <= shape.cols);
}

// Lines of the input are rows, its commas split the cells: what the format
// cannot hold (a separator or a line end inside a cell) never arises.
GridModel GridFromInput(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    const int rows = static_cast<int>(std::min<qsizetype>(lines.size(), kMaxRows));
    int cols = 1;
    for (int r = 0; r < rows; ++r) {
        lines[r].replace('\r', ' ');
        cols = std::max(cols, static_cast<int>(std::min<qsizetype>(lines[r].count(',') + 1, kMaxCols)));
    }
    GridModel grid(rows + 1, cols + 1);
    for (int r = 0; r < rows; ++r) {
        const QList<QByteArray> cells = lines[r].split(',');
        for (int c = 0; c < cols && c < cells.size(); ++c) {
            grid.SetTextMatrix(r + 1, c + 1, QString::fromUtf8(cells[c]));
        }
    }
    return grid;
}

QString Expected(const QString& saved, int decimals) {
    if (saved.isEmpty()) return saved;
    if (const std::optional<double> value = ParseNumber(saved)) return FormatDecimals(*value, decimals);
    return saved;
}

void RoundTrip(const QByteArray& bytes, int decimals) {
    const GridModel grid = GridFromInput(bytes);
    const QByteArray table = BuildTextTableBytes(grid, ',');
    QStringDecoder decoder(QStringConverter::System);
    const QString decodedTable = decoder.decode(table);
    const QString text = SplitTextTableLines(decodedTable);
    FUZZ_CHECK(text == decodedTable);

    const TableShape shape = MeasureTable(text, u',');
    FUZZ_CHECK(shape.rows == grid.UsedRows() && shape.cols == grid.UsedCols());

    GridModel back(grid.Rows(), grid.Cols());
    const RestoredTable restored = RestoreTable(text, u',', back, decimals);
    FUZZ_CHECK(restored.outside == 0);
    for (int r = 1; r < grid.Rows(); ++r) {
        for (int c = 1; c < grid.Cols(); ++c) {
            const QString& saved = grid.TextMatrix(r, c);
            if (r <= grid.UsedRows() && c <= grid.UsedCols()) {
                FUZZ_CHECK(back.TextMatrix(r, c) == Expected(saved, decimals));
            } else {
                FUZZ_CHECK(saved.trimmed().isEmpty() && back.TextMatrix(r, c).isEmpty());
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte picks the decimals the recovery formats with.
    const int decimals = data[0] % 7;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    LoadAnyBytes(bytes, decimals);
    RoundTrip(bytes, decimals);
    return 0;
}
