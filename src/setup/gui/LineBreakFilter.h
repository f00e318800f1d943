#pragma once
// Setup's texts are single lines: a description or a label is written inside quotes on one
// line of an INI export, and a line break would split it. An edit given this filter refuses
// line feeds and carriage returns wherever they come from, typed, pasted, dropped or set from
// a value that holds one: they are left out and the rest of the text is kept.
//
//     RefuseLineBreaks(labelEdit);
#include <QValidator>

class QLineEdit;

class LineBreakFilter : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

// Gives the edit a LineBreakFilter of its own.
void RefuseLineBreaks(QLineEdit* edit);
