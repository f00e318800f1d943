#pragma once
// The template dialog (216) over the core's TemplateChoice: the offered templates (2507) with
// the matching one selected, and the selected template's feature values (2505). A double-click
// or OK applies the selected template; with none selected OK applies nothing and Details says
// that none matches. A failure shows its report in a warning box.
#include "setup/core/TemplateChoice.h"

#include <QDialog>

class QListWidget;

class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    TemplateDialog(QWidget* parent, UIFeatures& model, TreeHandle node);

    QListWidget* Templates() const { return m_Templates; }
    QListWidget* Details() const { return m_Details; }

public slots:
    void accept() override;

private:
    // The selected template's row, -1 for none.
    int SelectedRow() const;
    void ShowDetails();

    TemplateChoice m_Choice;
    QListWidget* m_Templates = nullptr;
    QListWidget* m_Details = nullptr;
};
