#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "files/AtomicFile.h"
#include "figures/KeptFigure.h"

class GridModel;

// The figures kept with the grid's values, as a text file of the program's
// own beside the autosave. UTF-8, lines ended by LF:
//
//   Kalvor figures 2
//   row<TAB>col<TAB>value<TAB>mode<TAB>time<TAB>reference<TAB>tablet length
//     <TAB>vertical factor<TAB>unit<TAB>counts per mm<TAB>source<TAB>page
//     <TAB>source name<TAB>points<TAB>arcs<TAB>sign<TAB>part
//
// one line per figure after the first, in the order of the cells (row by
// row). `sign` is + or - (a figure counted off a sum: a hole); `part` is 0
// for a cell's figure and 1, 2, ... for the other figures of a sum, which
// follow it in order (their value is empty). Version 1 had neither field:
// it is still read, every figure then a cell's own and counted plus. `mode` is one of distance, picked-area, traced-area, picked-length,
// traced-length, coordinate; `time` is UTC as 2026-12-09T01:23:45.678Z;
// `source` is tablet, pad or drawing; `points` is "x,y" pairs in counts,
// separated by spaces; `arcs` the numbers (from 0) of the points that are an
// arc's middle, separated by spaces, empty for none. In the text fields a TAB, CR, LF and "%" are written
// as %09, %0D, %0A and %25. The number after "figures" is the format's
// version: a reader takes only the versions it knows.
inline constexpr char kFigureFileHeader[] = "Kalvor figures 2";
inline constexpr char kFigureFileHeaderV1[] = "Kalvor figures 1";

// Bounds of what is read back: far more than a grid can hold, small enough
// that a damaged or planted file cannot take the program's memory.
inline constexpr qint64 kMaxFigureFileBytes = qint64{512} * 1024 * 1024;
inline constexpr std::size_t kMaxFigurePoints = 4'000'000;

struct KeptFigureAt {
    int row = 0;
    int col = 0;
    std::shared_ptr<const KeptFigure> figure;
};

struct FigureFileContent {
    std::vector<KeptFigureAt> figures;
    // One line per line that was skipped: its number from 1 and why. A file
    // refused whole (not ours, a version this program does not know) has one
    // entry for line 1 and no figure.
    QStringList problems;
};

// The file's bytes for every figure the grid keeps, and, each before the
// grid's figure of its cell, the `earlier` figures: those of values the
// grid no longer holds but an older autosave may still bring back.
QByteArray FigureFileBytes(const GridModel& grid, const std::vector<KeptFigureAt>& earlier = {});
// Writes them through the atomic writer: the file holds the old figures or
// the new ones, never a mix.
FileWriteResult WriteFigureFile(const GridModel& grid, const QString& path,
                                const std::vector<KeptFigureAt>& earlier = {});

// Reads the file's bytes: every line that does not parse as a figure is
// skipped and reported, the others kept. Never throws, whatever the bytes.
FigureFileContent ParseFigureFile(QByteArrayView bytes);
// Reads the file at path (a regular file of at most kMaxFigureFileBytes; a
// missing file reads as none, other refusals as one problem).
FigureFileContent ReadFigureFile(const QString& path);

// Puts each figure back with its cell where the cell holds the figure's
// value (of two for one cell, the later); returns how many went back. A
// number the recovery wrote again with `decimals` (the setting changed since
// it was saved) still finds its figure, which then takes the new form.
// Negative `decimals`: values compared as they are.
int RestoreFigures(const FigureFileContent& content, GridModel& grid, int decimals = -1);
