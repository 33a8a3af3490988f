#include "ui/ListWindow.h"

#include "core/Error.h"
#include "data/DataSet.h"
#include "ui/MessageBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace {
class UpperCaseValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};
} // namespace

UpperCaseEdit::UpperCaseEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setValidator(new UpperCaseValidator(this));
}

ListWindow::ListWindow(const QString &banner, QWidget *parent)
    : QWidget(parent)
    , Panel1(new QLabel(banner, this))
    , Label1(new QLabel(this))
    , LabChpRech(new QLabel(this))
    , eValChampRech(new UpperCaseEdit(this))
    , DBGrid1(new DBGrid(this))
    , m_searchBar(new QHBoxLayout)
    , m_buttonBar(new QHBoxLayout)
{
    setAttribute(Qt::WA_DeleteOnClose);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    LabChpRech->setObjectName(QStringLiteral("LabChpRech"));
    eValChampRech->setObjectName(QStringLiteral("eValChampRech"));
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));

    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setMinimumHeight(34);
    Panel1->setStyleSheet(
        QStringLiteral("QLabel#Panel1 { background: #1f4e79; color: white; font-weight: bold; font-size: 14pt; padding: 4px; }"));
    LabChpRech->setMinimumWidth(160);
    LabChpRech->setStyleSheet(QStringLiteral("font-weight: bold;"));
    LabChpRech->setBuddy(eValChampRech);
    eValChampRech->setMaximumWidth(320);
    eValChampRech->setPlaceholderText(QStringLiteral("Recherche"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Panel1);
    m_searchBar->addWidget(Label1);
    m_searchBar->addWidget(LabChpRech);
    m_searchBar->addWidget(eValChampRech);
    m_searchBar->addStretch();
    layout->addLayout(m_searchBar);
    layout->addWidget(DBGrid1, 1);
    m_buttonBar->addStretch();
    layout->addLayout(m_buttonBar);
}

QPushButton *ListWindow::addButton(const QString &objectName, const QString &caption)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(objectName);
    b->setMinimumWidth(96);
    m_buttonBar->addWidget(b);
    return b;
}

void ListWindow::paintSortColumn(int column)
{
    DBGrid1->setAllColumnsColor(LightColour);
    DBGrid1->setColumnColor(column, SortColour);
}

bool ListWindow::reopen(DataSet *dataSet, const QString &sql, const QVariantHash &params)
{
    try {
        dataSet->close();
        dataSet->setSql(sql);
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            dataSet->setParam(it.key(), it.value());
        dataSet->open();
        dataSet->first();
        return true;
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return false;
    }
}
