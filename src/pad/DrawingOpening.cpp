#include "pad/DrawingOpening.h"

#include <QTimer>

DrawingOpening::DrawingOpening(DrawingHelper& helper, QString path)
    : helper_(helper), path_(std::move(path)), self_(std::make_shared<DrawingOpening*>(this)) {}

DrawingOpening::~DrawingOpening() {
    *self_ = nullptr;
    helper_.Drop(call_);
}

void DrawingOpening::Start() {
    const std::weak_ptr<DrawingOpening*> self = self_;
    call_ = helper_.Inspect(
        path_, [self](const DrawingFile::Probe& probe, DrawingHelper::Failure failure) {
            if (const auto opening = self.lock(); opening && *opening)
                (*opening)->Inspected(probe, failure);
        });
}

void DrawingOpening::Inspected(const DrawingFile::Probe& probe, DrawingHelper::Failure failure) {
    call_ = 0;
    // Only another opening takes the helper from this one: nothing to say.
    if (failure == DrawingHelper::Failure::Abandoned) return Fail(QString());
    if (!probe.error.isEmpty()) return Fail(probe.error);
    pages_ = probe.pages;
    const std::weak_ptr<DrawingOpening*> self = self_;
    // Out of the helper's answer first: a box waits for the operator in an
    // event loop of its own, which must not run inside the helper's signal.
    QTimer::singleShot(0, &helper_, [self, probe] {
        const auto opening = self.lock();
        if (opening && *opening) (*opening)->Chosen(probe);
    });
}

void DrawingOpening::Chosen(const DrawingFile::Probe& probe) {
    const std::weak_ptr<DrawingOpening*> self = self_;
    // The opening may be cancelled, and destroyed, while a box is up: the
    // call is made on a copy, and the opening looked for again after it.
    const auto chooseNow = choose;
    const std::optional<Choice> choice = chooseNow(probe);
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
                                 return opening.Fail(failure == DrawingHelper::Failure::Abandoned
                                                         ? QString()
                                                         : error);
                             const auto opened = opening.onOpened;
                             opened(*page, opening.pages_);
                         });
}

void DrawingOpening::Fail(const QString& why) {
    // Told out of the helper's answer: the notice waits for the operator.
    const std::weak_ptr<DrawingOpening*> self = self_;
    QTimer::singleShot(0, &helper_, [self, why] {
        const auto opening = self.lock();
        if (!opening || !*opening) return;
        // A copy: the opening may be destroyed inside it.
        const auto failed = (*opening)->onFailed;
        failed(why);
    });
}
