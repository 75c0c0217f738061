#include "pad/DrawingOpening.h"

DrawingOpening::DrawingOpening(DrawingHelper& helper, QString path)
    : helper_(helper), path_(std::move(path)), self_(std::make_shared<DrawingOpening*>(this)) {}

DrawingOpening::~DrawingOpening() {
    *self_ = nullptr;
    helper_.Drop(call_);
}

void DrawingOpening::Start() {
    const std::weak_ptr<DrawingOpening*> self = self_;
    call_ = helper_.Inspect(path_, [self](const DrawingFile::Probe& probe,
                                          DrawingHelper::Failure failure) {
        if (const auto opening = self.lock(); opening && *opening)
            (*opening)->Inspected(probe, failure);
    });
}

void DrawingOpening::Inspected(const DrawingFile::Probe& probe, DrawingHelper::Failure failure) {
    call_ = 0;
    // Only another opening takes the helper from this one, and it ends this
    // one first.
    if (failure == DrawingHelper::Failure::Abandoned) return Fail(QString());
    if (!probe.error.isEmpty()) return Fail(probe.error);
    pages_ = probe.pages;
    const std::weak_ptr<DrawingOpening*> self = self_;
    // The boxes wait for the operator, and the opening may be cancelled
    // meanwhile.
    const std::optional<Choice> choice = choose(probe);
    const auto opening = self.lock();
    if (!opening || !*opening) return;
    if (!choice) return Fail(QString());
    call_ = helper_.Open(path_, choice->page, choice->untaggedDpi,
                         [self](const std::optional<DrawingHelper::Page>& page,
                                const QString& error, DrawingHelper::Failure failure) {
                             const auto alive = self.lock();
                             if (!alive || !*alive) return;
                             DrawingOpening& opening = **alive;
                             opening.call_ = 0;
                             if (!page)
                                 return opening.Fail(
                                     failure == DrawingHelper::Failure::Abandoned ? QString()
                                                                                  : error);
                             const auto opened = opening.onOpened;
                             opened(*page, opening.pages_);
                         });
}

void DrawingOpening::Fail(const QString& why) {
    // A copy: the opening may be destroyed inside it.
    const auto failed = onFailed;
    failed(why);
}
