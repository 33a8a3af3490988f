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
    , bannerLabel(new QLabel(banner, this))
    , searchTitle(new QLabel(this))
    , searchLabel(new QLabel(this))
    , searchEdit(new UpperCaseEdit(this))
    , grid(new DBGrid(this))
    , m_searchBar(new QHBoxLayout)
    , m_buttonBar(new QHBoxLayout)
{
    setAttribute(Qt::WA_DeleteOnClose);
    bannerLabel->setObjectName(QStringLiteral("bannerLabel"));
    searchTitle->setObjectName(QStringLiteral("searchTitle"));
    searchLabel->setObjectName(QStringLiteral("searchLabel"));
    searchEdit->setObjectName(QStringLiteral("searchEdit"));
    grid->setObjectName(QStringLiteral("grid"));

    bannerLabel->setAlignment(Qt::AlignCenter);
    bannerLabel->setMinimumHeight(34);
    bannerLabel->setStyleSheet(
        QStringLiteral("QLabel#bannerLabel { background: #1f4e79; color: white; font-weight: bold; font-size: 14pt; padding: 4px; }"));
    searchLabel->setMinimumWidth(160);
    searchLabel->setStyleSheet(QStringLiteral("font-weight: bold;"));
    searchLabel->setBuddy(searchEdit);
    searchEdit->setMaximumWidth(320);
    searchEdit->setPlaceholderText(QStringLiteral("Recherche"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(bannerLabel);
    m_searchBar->addWidget(searchTitle);
    m_searchBar->addWidget(searchLabel);
    m_searchBar->addWidget(searchEdit);
    m_searchBar->addStretch();
    layout->addLayout(m_searchBar);
    layout->addWidget(grid, 1);
    m_buttonBar->addStretch();
    layout->addLayout(m_buttonBar);
}

QPushButton *ListWindow::addBarButton(const QString &objectName, const QString &caption)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(objectName);
    b->setMinimumWidth(96);
    m_buttonBar->addWidget(b);
    return b;
}

void ListWindow::paintSortColumn(int column)
{
    grid->setAllColumnsColor(LightColour);
    grid->setColumnColor(column, SortColour);
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
