// Line feeds and carriage returns left out of a single-line edit.
#include "setup/gui/LineBreakFilter.h"

#include <QLineEdit>

namespace {

bool IsLineBreak(QChar c) {
    return c == u'\n' || c == u'\r';
}

} // namespace

QValidator::State LineBreakFilter::validate(QString& input, int& position) const {
    qsizetype kept = 0;
    int cursor = position;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (!IsLineBreak(input[i])) {
            input[kept++] = input[i];
        } else if (i < position) {
            --cursor;
        }
    }
    input.truncate(kept);
    position = cursor;
    return Acceptable;
}

void RefuseLineBreaks(QLineEdit* edit) {
    edit->setValidator(new LineBreakFilter(edit));
}
