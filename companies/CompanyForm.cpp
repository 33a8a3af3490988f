#include "companies/CompanyForm.h"

#include "companies/CompanyRules.h"
#include "core/Error.h"
#include "data/DataSet.h"
#include "declaration/DeclarationChecks.h"
#include "ui/BoundEditors.h"
#include "ui/FormKeys.h"
#include "ui/MessageBox.h"
#include "ui/WindowClose.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

CompanyForm::CompanyForm(DataSet *societes, QWidget *parent)
    : EntryForm(societes, parent)
    , bannerFrame(new QFrame(this))
    , identityGroup(new QGroupBox(QStringLiteral("Identité"), this))
    , identityHint(new QLabel(this))
{
    setObjectName(QStringLiteral("CompanyForm"));
    setWindowTitle(QStringLiteral("Paramètre de la société"));
    bannerFrame->setObjectName(QStringLiteral("bannerFrame"));
    identityGroup->setObjectName(QStringLiteral("identityGroup"));

    // Created in tab order: the focus chain follows creation.
    identifierEdit = textBox(QStringLiteral("identifierEdit"), QStringLiteral("IDENTIFIANT"), 7);
    keyEdit = textBox(QStringLiteral("keyEdit"), QStringLiteral("CLE"), 1);
    categoryEdit = textBox(QStringLiteral("categoryEdit"), QStringLiteral("CATEGORIE"), 1);
    establishmentEdit = textBox(QStringLiteral("establishmentEdit"), QStringLiteral("ETABSECONDAIRE"), 3);
    yearEdit = textBox(QStringLiteral("yearEdit"), QStringLiteral("EXERCICE"), 6);
    yearEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+-]?[0-9]*")), yearEdit));
    nameEdit = textBox(QStringLiteral("nameEdit"), QStringLiteral("RAISON_SOCIALE"), 40);
    activityEdit = textBox(QStringLiteral("activityEdit"), QStringLiteral("ACTIVITE"), 40);
    cityEdit = textBox(QStringLiteral("cityEdit"), QStringLiteral("VILLE"), 40);
    streetEdit = textBox(QStringLiteral("streetEdit"), QStringLiteral("RUE"), 72);
    numberEdit = textBox(QStringLiteral("numberEdit"), QStringLiteral("NUMERO"), 4);
    postCodeEdit = textBox(QStringLiteral("postCodeEdit"), QStringLiteral("CODEPOSTAL"), 4);
    activeCheck = new DBCheckBox(QStringLiteral("Active O/N"), this);
    activeCheck->setObjectName(QStringLiteral("activeCheck"));
    activeCheck->setField(societes, QStringLiteral("ACTIVEON"));

    okButton = new QPushButton(QStringLiteral("OK"), this);
    cancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    closeButton = new QPushButton(QStringLiteral("fermer"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    for (QPushButton *b : { okButton, cancelButton, closeButton }) {
        b->setMinimumWidth(96);
        keys()->attachButton(b);
    }
    connect(okButton, &QPushButton::clicked, this, &CompanyForm::save);
    connect(cancelButton, &QPushButton::clicked, this, &CompanyForm::cancelEntry);
    connect(closeButton, &QPushButton::clicked, this, &CompanyForm::closeWithoutResult);

    QWidget *order[] = { identifierEdit, keyEdit, categoryEdit, establishmentEdit, yearEdit, nameEdit, activityEdit, cityEdit, streetEdit,
        numberEdit, postCodeEdit, activeCheck, okButton, cancelButton, closeButton };
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    keys()->onSave = [this] { saveByKey(); };
    connect(nameEdit, &DBEdit::exited, this, &CompanyForm::padName);
    connect(activityEdit, &DBEdit::exited, this, &CompanyForm::padActivity);
    connect(cityEdit, &DBEdit::exited, this, &CompanyForm::padCity);
    connect(streetEdit, &DBEdit::exited, this, &CompanyForm::padStreet);
    connect(numberEdit, &DBEdit::exited, this, &CompanyForm::padNumber);
    connect(postCodeEdit, &DBEdit::exited, this, &CompanyForm::padPostCode);
    // Only a box the clerk typed in: opening the form passes the focus
    // through the first boxes before anyone types.
    for (DBEdit *box : { identifierEdit, keyEdit, establishmentEdit }) {
        connect(box, &DBEdit::textEdited, this, [this, box] { m_typedIn.insert(box); });
        connect(box, &DBEdit::exited, this, [this, box] {
            if (m_typedIn.remove(box))
                showIdentifierHint(box);
        });
    }

    buildLayout();
    setFocusProxy(identifierEdit);
}

DBEdit *CompanyForm::textBox(const QString &objectName, const QString &column, int widthInCharacters)
{
    auto *box = new DBEdit(this);
    box->setObjectName(objectName);
    box->setField(dataSet(), column);
    // Wide enough for the column's characters in capitals.
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(widthInCharacters, QLatin1Char('N'))) * 9 / 10 + 16);
    keys()->attach(box); // Enter, Up arrow and F10
    return box;
}

QLabel *CompanyForm::labelFor(QWidget *control, const QString &caption)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(control->objectName() + QStringLiteral("Label"));
    label->setBuddy(control);
    return label;
}

QGridLayout *CompanyForm::identifierRow()
{
    // The tax identifier: four boxes side by side, each under its label.
    auto *identifier = new QGridLayout;
    identifier->setHorizontalSpacing(10);
    identifier->setVerticalSpacing(2);
    int column = 0;
    for (auto [box, caption] : { std::pair { identifierEdit, "Matricule Fiscal" }, std::pair { keyEdit, "Clé" },
             std::pair { categoryEdit, "Catégorie" }, std::pair { establishmentEdit, "N°Etablissement Secondaire" } }) {
        identifier->addWidget(labelFor(box, QString::fromUtf8(caption)), 0, column, Qt::AlignLeft | Qt::AlignBottom);
        identifier->addWidget(box, 1, column, Qt::AlignLeft);
        ++column;
    }
    identifier->setColumnStretch(column, 1);
    // A hint, never a stop: the clerk types on.
    identityHint->setObjectName(QStringLiteral("identityHint"));
    identityHint->setStyleSheet(QStringLiteral("color: #c00000;"));
    identityHint->hide(); // one line a message: no wrapping, its height is known
    identifier->addWidget(identityHint, 2, 0, 1, column + 1);
    return identifier;
}

QFormLayout *CompanyForm::companyRows()
{
    auto *company = new QFormLayout;
    company->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    company->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    company->addRow(labelFor(yearEdit, QStringLiteral("Exercice Par Défaut:")), yearEdit);
    company->addRow(labelFor(nameEdit, QStringLiteral("Raison Sociale :")), nameEdit);
    company->addRow(labelFor(activityEdit, QStringLiteral("Activité :")), activityEdit);
    return company;
}

void CompanyForm::buildAddressPanel()
{
    // The address sits in a white panel whose side label reads downwards.
    addressPanel = new QFrame(this);
    addressPanel->setObjectName(QStringLiteral("addressPanel"));
    addressPanel->setFrameShape(QFrame::StyledPanel);
    addressPanel->setAutoFillBackground(true);
    QPalette white = addressPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    addressPanel->setPalette(white);
    addressLabel = new QLabel(QStringLiteral("Adresse").split(QString(), Qt::SkipEmptyParts).join(QLatin1Char('\n')), addressPanel);
    addressLabel->setObjectName(QStringLiteral("addressLabel"));
    addressLabel->setAlignment(Qt::AlignCenter);
    QFont bold = addressLabel->font();
    bold.setBold(true);
    addressLabel->setFont(bold);
    auto *address = new QFormLayout;
    address->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    address->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    address->addRow(labelFor(cityEdit, QStringLiteral("Ville:")), cityEdit);
    address->addRow(labelFor(streetEdit, QStringLiteral("Rue:")), streetEdit);
    address->addRow(labelFor(numberEdit, QStringLiteral("Numero:")), numberEdit);
    address->addRow(labelFor(postCodeEdit, QStringLiteral("Code Postal:")), postCodeEdit);
    auto *addressRow = new QHBoxLayout(addressPanel);
    addressRow->setContentsMargins(8, 8, 12, 8);
    addressRow->setSpacing(14);
    addressRow->addWidget(addressLabel);
    addressRow->addLayout(address, 1);
}

void CompanyForm::buildLayout()
{
    // An empty coloured banner over the group, as on the company list.
    bannerFrame->setFixedHeight(34);
    bannerFrame->setStyleSheet(QStringLiteral("QFrame#bannerFrame { background: #1f4e79; }"));

    QGridLayout *identifier = identifierRow();
    QFormLayout *company = companyRows();
    buildAddressPanel();

    auto *group = new QVBoxLayout(identityGroup);
    group->setContentsMargins(14, 14, 14, 14);
    group->setSpacing(12);
    group->addLayout(identifier);
    group->addLayout(company);
    group->addWidget(addressPanel);
    group->addWidget(activeCheck);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(closeButton);

    // The group keeps its natural size in the middle of a maximised window.
    auto *content = new QVBoxLayout;
    content->addWidget(identityGroup);
    content->addLayout(buttons);
    auto *centre = new QHBoxLayout;
    centre->addStretch();
    centre->addLayout(content);
    centre->addStretch();

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(16);
    root->addWidget(bannerFrame);
    root->addLayout(centre);
    root->addStretch();
}

void CompanyForm::showIdentifierHint(DBEdit *box)
{
    DataSet *ds = dataSet();
    if (!ds || !ds->isActive())
        return;
    auto value = [ds](const char *column) { return ds->fieldByName(QString::fromLatin1(column))->asString(); };
    const QString column = box == identifierEdit ? QStringLiteral("IDENTIFIANT")
        : box == keyEdit                         ? QStringLiteral("CLE")
                                                 : QStringLiteral("ETABSECONDAIRE");
    m_hints[column] = DeclarationChecks::companyHints(column, value("IDENTIFIANT"), value("CLE"), value("ETABSECONDAIRE"));
    QStringList all;
    for (const QString &c : { QStringLiteral("IDENTIFIANT"), QStringLiteral("CLE"), QStringLiteral("ETABSECONDAIRE") })
        all << m_hints.value(c);
    identityHint->setText(all.join(QLatin1Char('\n')));
    identityHint->setVisible(!all.isEmpty());
}

void CompanyForm::save()
{
    setResult(FormResult::Ok);
    if (!commitFocusedEditor())
        return;
    DataSet *ds = dataSet();
    if (ds && ds->isEditing()) {
        try {
            padAllColumns();
            ds->post();
        } catch (const Error &e) {
            MessageBox::error(this, e.text());
            return;
        }
    }
    closeWith(FormResult::Ok);
}

void CompanyForm::cancelEntry()
{
    if (DataSet *ds = dataSet())
        ds->cancel();
    closeWith(FormResult::Cancel);
}

void CompanyForm::closeWithoutResult()
{
    if (DataSet *ds = dataSet())
        ds->cancel();
    closeWith(FormResult::None);
}

void CompanyForm::saveByKey()
{
    setResult(FormResult::Ok);
    if (!commitFocusedEditor())
        return;
    DataSet *ds = dataSet();
    if (!ds)
        return;
    try {
        if (ds->isEditing())
            padAllColumns();
        ds->post(); // refused when the row is no longer being edited
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    closeWindow(this);
}

namespace {
// Blanks after the column's text up to its stored width; refused when the
// row is no longer being edited.
void padField(DBEdit *box)
{
    Field *f = box->field();
    if (!f)
        return;
    const QString value = f->asString();
    const QString padded = CompanyRules::padToWidth(value, CompanyRules::paddedWidth(box->fieldName()));
    if (padded != value)
        f->setAsString(padded);
}
} // namespace

void CompanyForm::padColumn(DBEdit *box)
{
    if (m_closing)
        return; // the boxes lose the focus as the form goes: the close rule has decided
    try {
        padField(box);
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void CompanyForm::padAllColumns()
{
    for (DBEdit *box : { nameEdit, activityEdit, cityEdit, streetEdit, numberEdit, postCodeEdit })
        padField(box);
}

void CompanyForm::padName()
{
    padColumn(nameEdit);
}

void CompanyForm::padActivity()
{
    padColumn(activityEdit);
}

void CompanyForm::padCity()
{
    padColumn(cityEdit);
}

void CompanyForm::padStreet()
{
    padColumn(streetEdit);
}

void CompanyForm::padNumber()
{
    padColumn(numberEdit);
}

void CompanyForm::padPostCode()
{
    padColumn(postCodeEdit);
}

void CompanyForm::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    DataSet *ds = dataSet();
    try {
        if (result() == FormResult::Ok && !commitFocusedEditor()) {
            event->ignore();
            m_closing = false;
            return;
        }
        // The rule works on the row being edited: a row left in browse mode
        // is put into edit first, and saved again when the result is OK.
        if (ds && ds->isActive() && !ds->isEditing())
            ds->edit();
        if (result() == FormResult::Ok && ds && ds->isEditing())
            padAllColumns();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        event->ignore();
        m_closing = false;
        return;
    }
    EntryForm::closeEvent(event); // posts when the result is OK, cancels otherwise
    if (!event->isAccepted())
        m_closing = false;
}
