#pragma once

// Drawings built to break a reader, made byte by byte for the tests: each
// stands for a file an operator may be sent.

#include <QByteArray>
#include <QList>

// A one-page A4 PDF file whose page draws `content`, with `resources` in its
// resource dictionary and `objects` numbered from 5 on.
inline QByteArray OnePagePdf(const QByteArray& content, const QByteArray& resources = {},
                             const QList<QByteArray>& objects = {}) {
    QList<QByteArray> all = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R /Resources << " +
            resources + " >> >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
            "\nendstream"};
    all += objects;
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < all.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + all[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(all.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(all.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

// A shading whose PostScript (type 4) function nests 100,000 levels deep:
// its reader recurses once a level and runs off the stack.
inline QByteArray DeepFunctionPdf() {
    constexpr int kDepth = 100000;
    const QByteArray body = QByteArray("{ ").repeated(kDepth) + QByteArray("} ").repeated(kDepth);
    return OnePagePdf(
        "/Sh0 sh", "/Shading << /Sh0 5 0 R >>",
        {"<< /ShadingType 2 /ColorSpace /DeviceGray /Coords [0 0 595 0] "
         "/Function 6 0 R >>",
         "<< /FunctionType 4 /Domain [0 1] /Range [0 1] /Length " +
             QByteArray::number(body.size()) + " >>\nstream\n" + body + "\nendstream"});
}

// 10^6 short strokes: a minute's drawing for the PDF library.
inline QByteArray SlowPdf() {
    QByteArray content;
    content.reserve(22'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        content += QByteArray::number(i % 500) + ' ' + QByteArray::number(i * 7 % 800) + " m " +
                   QByteArray::number(i * 13 % 500) + ' ' + QByteArray::number(i * 3 % 800) +
                   " l S\n";
    return OnePagePdf(content);
}

// One fill of 10^6 crossing segments: gigabytes for the PDF library.
inline QByteArray HugeFillPdf() {
    QByteArray content = "0 0 m ";
    content.reserve(10'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        content +=
            QByteArray::number(i * 37 % 595) + ' ' + QByteArray::number(i * 91 % 842) + " l ";
    return OnePagePdf(content + "f");
}

// A dash of 0.0001 points along lines across the page.
inline QByteArray TinyDashPdf() {
    return OnePagePdf("[0.0001] 0 d 0 0 m 595 842 l 595 0 l 0 842 l S");
}

// The CRC-32 of PNG chunks (and zlib).
inline quint32 Crc32(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG file whose header declares `width` × `height` 8-bit RGB pixels and
// holds none of them.
inline QByteArray DeclaredPng(quint32 width, quint32 height) {
    const auto be = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i) b[i] = char(v >> (24 - 8 * i));
        return b;
    };
    QByteArray ihdr = "IHDR" + be(width) + be(height) + QByteArray("\x08\x02\0\0\0", 5);
    const QByteArray idat = QByteArray("IDAT\x78\x9c", 6);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + be(13) + ihdr + be(Crc32(ihdr)) + be(2) + idat +
           be(Crc32(idat)) + be(0) + "IEND" + be(Crc32("IEND"));
}
