// The PDF reader module: poppler behind the PdfReader interface, built as a
// library of its own and loaded on first use.

#include <poppler-qt6.h>

#include <QtGlobal>

#include "drawing/PdfPage.h"
#include "drawing/PdfReader.h"

namespace {

// poppler's complaints about a damaged file go to the debug output, once
// per object; the operator is told once, by the notice.
void QuietPoppler() {
    static const bool quiet = [] {
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
        return true;
    }();
    (void)quiet;
}

std::unique_ptr<Poppler::Document> LoadPdf(const QString& path, QString& error) {
    QuietPoppler();
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document) {
        error = QStringLiteral("PDF ファイルが壊れていて読めません。");
    } else if (document->isLocked()) {
        error = QStringLiteral("パスワードで保護された PDF ファイルは開けません。");
        document.reset();
    } else if (document->numPages() < 1) {
        error = QStringLiteral("PDF ファイルにページがありません。");
        document.reset();
    }
    return document;
}

class PopplerDocument : public PdfReader::Document {
  public:
    explicit PopplerDocument(std::unique_ptr<Poppler::Document> document)
        : document_(std::move(document)), pages_(document_->numPages()) {}

    int Pages() const override { return pages_; }

    std::shared_ptr<const DrawingPage> OpenPage(int page, QString& error) override {
        if (!document_) return nullptr;
        std::unique_ptr<Poppler::Page> pdfPage = document_->page(page - 1);
        if (!pdfPage || pdfPage->pageSizeF().isEmpty()) {
            error = QStringLiteral("%1 ページ目が壊れていて読めません。").arg(page);
            return nullptr;
        }
        return std::make_shared<PdfPage>(std::move(document_), std::move(pdfPage));
    }

  private:
    std::unique_ptr<Poppler::Document> document_;
    int pages_;
};

class PopplerReader : public PdfReader {
  public:
    std::shared_ptr<Document> Load(const QString& path, QString& error) const override {
        std::unique_ptr<Poppler::Document> document = LoadPdf(path, error);
        if (!document) return nullptr;
        return std::make_shared<PopplerDocument>(std::move(document));
    }
};

}  // namespace

extern "C" Q_DECL_EXPORT const PdfReader* KalvorPdfReader() {
    static const PopplerReader reader;
    return &reader;
}
