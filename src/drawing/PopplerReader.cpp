// The PDF reader module: poppler behind the PdfReader interface, built as a
// library of its own and loaded on first use.

#include <poppler-qt6.h>

#include <QByteArray>
#include <QList>
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

// A page of a line and a word in a standard font: drawing it sets up what
// every first drawing needs (the font configuration, the rasteriser).
QByteArray TinyPdf() {
    const QByteArray content = "BT /F1 12 Tf 8 30 Td (Kalvor 1:100) Tj ET 0 0 m 72 72 l S";
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 72 72] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
            "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

class PopplerReader : public PdfReader {
  public:
    std::shared_ptr<Document> Load(const QString& path, QString& error) const override {
        std::unique_ptr<Poppler::Document> document = LoadPdf(path, error);
        if (!document) return nullptr;
        return std::make_shared<PopplerDocument>(std::move(document));
    }

    void Prepare() const override {
        QuietPoppler();
        const std::unique_ptr<Poppler::Document> document =
            Poppler::Document::loadFromData(TinyPdf());
        if (!document) return;
        document->setRenderHint(Poppler::Document::Antialiasing);
        document->setRenderHint(Poppler::Document::TextAntialiasing);
        if (const std::unique_ptr<Poppler::Page> page = document->page(0))
            (void)page->renderToImage(72, 72);
    }
};

}  // namespace

extern "C" Q_DECL_EXPORT const PdfReader* KalvorPdfReader() {
    static const PopplerReader reader;
    return &reader;
}
