#include "drawing/PdfReader.h"

#include "files/ProgramModule.h"

namespace {

struct Loaded {
    const PdfReader* reader = nullptr;
    QString error;
};

Loaded LoadReader() {
    QString why;
    using Entry = const PdfReader* (*)();
    const auto entry = reinterpret_cast<Entry>(
        KALVOR_PROGRAM_MODULE(KALVOR_PDF_MODULE).Resolve(KALVOR_PDF_READER_ENTRY, why));
    if (entry != nullptr) return {entry(), QString()};
    return {nullptr, QStringLiteral("PDF を読む部品を読み込めません（%1）。").arg(why)};
}

}  // namespace

const PdfReader* PdfReader::Load(QString& error) {
    static const Loaded loaded = LoadReader();
    if (loaded.reader == nullptr) error = loaded.error;
    return loaded.reader;
}
