#pragma once

// What "図形の書き出し…" is asked to write: the format, and whether only the
// selected cells' figures or all of them.
struct FigureExportChoice {
    enum class Format { Svg, Dxf, PdfA4, PdfA3 };
    Format format = Format::Svg;
    bool selectedOnly = false;
};
