#pragma once
// The template dialog (216) over the core's TemplateChoice: the offered templates (2507) with
// the matching one selected, and the chosen template's feature values (2505). A double-click
// or OK applies the chosen template; a failure shows its report in a warning box.
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
    void ShowDetails();

    TemplateChoice m_Choice;
    QListWidget* m_Templates = nullptr;
    QListWidget* m_Details = nullptr;
};
