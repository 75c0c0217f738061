#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The autosave file as it stood at one moment, read as the crash loop judges
// it: the lines and fields the program wrote, and whether they are whole.
class SaveTable {
public:
    SaveTable() = default;

    // Reads the bytes of "Save.csv". The file is whole when it is empty, or
    // when it is UTF-8 text whose every line ends with CR LF, all lines hold
    // the same number of fields, every field is empty, a number the program
    // writes ("12", "12.50", ".50", "-3") or one of `texts`, and the last
    // line and the last field column each hold something not blank (the
    // program writes exactly the used rectangle). Anything else is torn.
    static SaveTable Read(const QByteArray& bytes, const QStringList& texts = {});

    bool Torn() const { return !problem_.isEmpty(); }
    // Why it is torn, for the report; empty when whole.
    const QString& Problem() const { return problem_; }

    // Fields that are not empty.
    int ValueCount() const;
    bool HasValues() const { return ValueCount() > 0; }

    // The field at a line and field index counted from 1; empty outside.
    QString Field(int line, int field) const;
    int LineCount() const { return static_cast<int>(lines_.size()); }
    int FieldCount() const { return lines_.isEmpty() ? 0 : static_cast<int>(lines_[0].size()); }

    // Every non-empty field of `before` that this table does not hold at the
    // same line and field, described for the report. Numbers match within
    // half a unit of the last digit that `decimals` keeps (the recovery
    // writes them again with the current decimals); other texts exactly.
    QStringList Missing(const SaveTable& before, int decimals) const;

private:
    QList<QStringList> lines_;
    QString problem_;
};
