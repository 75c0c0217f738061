#pragma once

#include <QObject>
#include <QString>

// The hidden text buffer txtClip: holds the text that the table reader
// reads, CR LF pairs unchanged. Never shown.
class TextBuffer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const QString& Text() const { return text_; }
    void SetText(const QString& text) { text_ = text; }

private:
    QString text_;
};
