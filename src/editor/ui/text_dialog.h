// AddTextForm, "Text hinzufügen": the text of a new text or dimension, its height and angle; also
// the text of an existing one alone.
#pragma once

#include "editor/entity_creation.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace quentar::editor::ui {

class NumberFieldEdit;

class TAddTextForm : public QDialog {
    Q_OBJECT
public:
    // The heights are kept in the settings file `settingsFile` (empty: the user's) from one run of
    // the program to the next.
    explicit TAddTextForm(const QString &settingsFile, QWidget *parent = nullptr);

    // A new text (the memo cleared) or a dimension text (the memo holds `text.text`, the height is
    // that of dimension texts). False when cancelled; else `text` holds the values.
    bool askNew(TextInput &text, bool dimension);
    // An existing text: only the text can be changed (height and angle are disabled).
    bool askChange(std::string &text);

    QPlainTextEdit *memo() const { return Memo1_; }

private:
    void store() const;

    QString settingsFile_;
    QPlainTextEdit *Memo1_;
    QLabel *sizeLabel_;
    NumberFieldEdit *FontSizeEd_, *FontSizeDimensionEd_, *WinkEd_;
};

// PolygonForm: the number of corners of the next polygon (EckenEd, 3 to 1000).
class TPolygonForm : public QDialog {
    Q_OBJECT
public:
    explicit TPolygonForm(QWidget *parent = nullptr);
    // Shows the dialog; false when cancelled, else `corners` holds the field's value.
    bool ask(double &corners);

private:
    NumberFieldEdit *EckenEd_;
};

} // namespace quentar::editor::ui
