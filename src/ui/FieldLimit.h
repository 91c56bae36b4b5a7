#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;

namespace dialvane {

// How a field's check measures its text, and the most the check lets through, in the same
// units (what the user reads as characters).
struct FieldMeasure {
    std::function<int(const QString&)> measure;
    int limit = 0;
};

// Names and the sender name: two bytes per UTF-16 unit of the trimmed text, `maxBytes` at most.
FieldMeasure NameMeasure(int maxBytes);
// Keywords are counted as names are.
FieldMeasure KeywordMeasure(int maxBytes);
FieldMeasure FaxNumberMeasure();

// The part of `inserted` that fits when it replaces `length` characters at `start` of `text`:
// its longest beginning that keeps the text within the limit (empty when none does).
QString FittingInsert(const FieldMeasure& measure, const QString& text, int start, int length,
                      const QString& inserted);

// "used / limit" for `text`.
QString LimitHintText(const FieldMeasure& measure, const QString& text);

// Stops input into `edit` at its check's limit, so the "too long" message is seldom needed:
// a key that would go past the limit is not taken, pasted or composed text is cut to what fits.
// A text set by the program is left as it is (its check on OK reports it). `hint`, when given,
// shows "used / limit" as the text changes. The limit lives as long as the field.
void LimitField(QLineEdit* edit, FieldMeasure measure, QLabel* hint = nullptr);

}  // namespace dialvane
