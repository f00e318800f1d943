// The template dialog's widgets.
#include "setup/gui/TemplateDialog.h"

#include "setup/core/FeatureValue.h"
#include "setup/core/SetupServices.h"
#include "setup/core/UIFeatures.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

TemplateDialog::TemplateDialog(QWidget* parent, UIFeatures& model, TreeHandle node)
    : QDialog(parent), m_Choice(model, node) {
    setObjectName(QString::number(kDialogTemplate));
    setWindowTitle(QString::fromStdString(model.GetDisplayText(node, 0x01 | 0x08)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Templates:", this));
    m_Templates = new QListWidget(this);
    m_Templates->setObjectName("2507");
    m_Templates->setSelectionMode(m_Choice.HasTemplates() ? QAbstractItemView::SingleSelection
                                                          : QAbstractItemView::NoSelection);
    for (const std::string& row : m_Choice.Rows()) {
        m_Templates->addItem(QString::fromStdString(row));
    }
    if (m_Choice.MatchingRow() >= 0) {
        m_Templates->setCurrentRow(m_Choice.MatchingRow());
    }
    layout->addWidget(m_Templates, 1);
    layout->addWidget(new QLabel("Details:", this));
    m_Details = new QListWidget(this);
    m_Details->setObjectName("2505");
    layout->addWidget(m_Details, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Details and OK follow the selection, not the current row: a list that takes the focus
    // without a current row makes its first row current without selecting it.
    connect(m_Templates, &QListWidget::itemSelectionChanged, this, [this] { ShowDetails(); });
    connect(m_Templates, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    ShowDetails();
    resize(520, 420);
}

int TemplateDialog::SelectedRow() const {
    if (!m_Choice.HasTemplates()) {
        return -1;
    }
    const QList<QListWidgetItem*> selected = m_Templates->selectedItems();
    return selected.isEmpty() ? -1 : m_Templates->row(selected.front());
}

void TemplateDialog::ShowDetails() {
    m_Details->clear();
    const int row = SelectedRow();
    const std::vector<std::string> details = m_Choice.Details(row);
    if (row < 0) {
        m_Details->addItem(kTextNoTemplateMatches);
    }
    for (const std::string& line : details) {
        m_Details->addItem(QString::fromStdString(line));
    }
    m_Details->setEnabled(row >= 0);
}

void TemplateDialog::accept() {
    std::string error;
    if (!m_Choice.Apply(SelectedRow(), error)) {
        ShowMessage(MessageKind::Warning, error);
    }
    QDialog::accept();
}
