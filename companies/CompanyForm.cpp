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
    , Panel1(new QFrame(this))
    , GroupBox1(new QGroupBox(QStringLiteral("Identité"), this))
    , IdentiteHint(new QLabel(this))
{
    setObjectName(QStringLiteral("frmparamsociete"));
    setWindowTitle(QStringLiteral("Paramètre de la société"));
    Panel1->setObjectName(QStringLiteral("Panel1"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    // Created in tab order: the focus chain follows creation.
    DBEcode = textBox(QStringLiteral("DBEcode"), QStringLiteral("IDENTIFIANT"), 7);
    DBEdit1 = textBox(QStringLiteral("DBEdit1"), QStringLiteral("CLE"), 1);
    DBEdit2 = textBox(QStringLiteral("DBEdit2"), QStringLiteral("CATEGORIE"), 1);
    DBEdit3 = textBox(QStringLiteral("DBEdit3"), QStringLiteral("ETABSECONDAIRE"), 3);
    DBEdit7 = textBox(QStringLiteral("DBEdit7"), QStringLiteral("EXERCICE"), 6);
    DBEdit7->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+-]?[0-9]*")), DBEdit7));
    DBraisonsociale = textBox(QStringLiteral("DBraisonsociale"), QStringLiteral("RAISON_SOCIALE"), 40);
    DBEactivite = textBox(QStringLiteral("DBEactivite"), QStringLiteral("ACTIVITE"), 40);
    DBEadresse = textBox(QStringLiteral("DBEadresse"), QStringLiteral("VILLE"), 40);
    DBEtelephone = textBox(QStringLiteral("DBEtelephone"), QStringLiteral("RUE"), 72);
    DBEdit4 = textBox(QStringLiteral("DBEdit4"), QStringLiteral("NUMERO"), 4);
    DBEdit5 = textBox(QStringLiteral("DBEdit5"), QStringLiteral("CODEPOSTAL"), 4);
    DBCheckSaisie = new DBCheckBox(QStringLiteral("Active O/N"), this);
    DBCheckSaisie->setObjectName(QStringLiteral("DBCheckSaisie"));
    DBCheckSaisie->setField(societes, QStringLiteral("ACTIVEON"));

    Bitnok = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Annuler"), this);
    BitBtn1 = new QPushButton(QStringLiteral("fermer"), this);
    Bitnok->setObjectName(QStringLiteral("Bitnok"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    for (QPushButton *b : { Bitnok, BitBtn2, BitBtn1 }) {
        b->setMinimumWidth(96);
        keys()->attachButton(b);
    }
    connect(Bitnok, &QPushButton::clicked, this, &CompanyForm::BitnokClick);
    connect(BitBtn2, &QPushButton::clicked, this, &CompanyForm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &CompanyForm::BitBtn1Click);

    QWidget *order[] = { DBEcode, DBEdit1, DBEdit2, DBEdit3, DBEdit7, DBraisonsociale, DBEactivite, DBEadresse, DBEtelephone, DBEdit4,
        DBEdit5, DBCheckSaisie, Bitnok, BitBtn2, BitBtn1 };
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    keys()->onF10 = [this] { F10Press(); };
    connect(DBraisonsociale, &DBEdit::exited, this, &CompanyForm::DBraisonsocialeExit);
    connect(DBEactivite, &DBEdit::exited, this, &CompanyForm::DBEactiviteExit);
    connect(DBEadresse, &DBEdit::exited, this, &CompanyForm::DBEadresseExit);
    connect(DBEtelephone, &DBEdit::exited, this, &CompanyForm::DBEtelephoneExit);
    connect(DBEdit4, &DBEdit::exited, this, &CompanyForm::DBEdit4Exit);
    connect(DBEdit5, &DBEdit::exited, this, &CompanyForm::DBEdit5Exit);
    // Only a box the clerk typed in: opening the form passes the focus
    // through the first boxes before anyone types.
    for (DBEdit *box : { DBEcode, DBEdit1, DBEdit3 }) {
        connect(box, &DBEdit::textEdited, this, [this, box] { m_typedIn.insert(box); });
        connect(box, &DBEdit::exited, this, [this, box] {
            if (m_typedIn.remove(box))
                showIdentifierHint(box);
        });
    }

    buildLayout();
    setFocusProxy(DBEcode);
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
    label->setObjectName(QStringLiteral("Label") + control->objectName());
    label->setBuddy(control);
    return label;
}

void CompanyForm::buildLayout()
{
    // An empty coloured banner over the group, as on the company list.
    Panel1->setFixedHeight(34);
    Panel1->setStyleSheet(QStringLiteral("QFrame#Panel1 { background: #1f4e79; }"));

    // The tax identifier: four boxes side by side, each under its label.
    auto *identifier = new QGridLayout;
    identifier->setHorizontalSpacing(10);
    identifier->setVerticalSpacing(2);
    int column = 0;
    for (auto [box, caption] : { std::pair { DBEcode, "Matricule Fiscal" }, std::pair { DBEdit1, "Clé" },
             std::pair { DBEdit2, "Catégorie" }, std::pair { DBEdit3, "N°Etablissement Secondaire" } }) {
        identifier->addWidget(labelFor(box, QString::fromUtf8(caption)), 0, column, Qt::AlignLeft | Qt::AlignBottom);
        identifier->addWidget(box, 1, column, Qt::AlignLeft);
        ++column;
    }
    identifier->setColumnStretch(column, 1);
    // A hint, never a stop: the clerk types on.
    IdentiteHint->setObjectName(QStringLiteral("IdentiteHint"));
    IdentiteHint->setStyleSheet(QStringLiteral("color: #c00000;"));
    IdentiteHint->hide(); // one line a message: no wrapping, its height is known
    identifier->addWidget(IdentiteHint, 2, 0, 1, column + 1);

    auto *company = new QFormLayout;
    company->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    company->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    company->addRow(labelFor(DBEdit7, QStringLiteral("Exercice Par Défaut:")), DBEdit7);
    company->addRow(labelFor(DBraisonsociale, QStringLiteral("Raison Sociale :")), DBraisonsociale);
    company->addRow(labelFor(DBEactivite, QStringLiteral("Activité :")), DBEactivite);

    // The address sits in a white panel whose side label reads downwards.
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::StyledPanel);
    Panel2->setAutoFillBackground(true);
    QPalette white = Panel2->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel2->setPalette(white);
    LabelAdresse = new QLabel(QStringLiteral("Adresse").split(QString(), Qt::SkipEmptyParts).join(QLatin1Char('\n')), Panel2);
    LabelAdresse->setObjectName(QStringLiteral("LabelAdresse"));
    LabelAdresse->setAlignment(Qt::AlignCenter);
    QFont bold = LabelAdresse->font();
    bold.setBold(true);
    LabelAdresse->setFont(bold);
    auto *address = new QFormLayout;
    address->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    address->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    address->addRow(labelFor(DBEadresse, QStringLiteral("Ville:")), DBEadresse);
    address->addRow(labelFor(DBEtelephone, QStringLiteral("Rue:")), DBEtelephone);
    address->addRow(labelFor(DBEdit4, QStringLiteral("Numero:")), DBEdit4);
    address->addRow(labelFor(DBEdit5, QStringLiteral("Code Postal:")), DBEdit5);
    auto *addressRow = new QHBoxLayout(Panel2);
    addressRow->setContentsMargins(8, 8, 12, 8);
    addressRow->setSpacing(14);
    addressRow->addWidget(LabelAdresse);
    addressRow->addLayout(address, 1);

    auto *group = new QVBoxLayout(GroupBox1);
    group->setContentsMargins(14, 14, 14, 14);
    group->setSpacing(12);
    group->addLayout(identifier);
    group->addLayout(company);
    group->addWidget(Panel2);
    group->addWidget(DBCheckSaisie);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bitnok);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);

    // The group keeps its natural size in the middle of a maximised window.
    auto *content = new QVBoxLayout;
    content->addWidget(GroupBox1);
    content->addLayout(buttons);
    auto *centre = new QHBoxLayout;
    centre->addStretch();
    centre->addLayout(content);
    centre->addStretch();

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(16);
    root->addWidget(Panel1);
    root->addLayout(centre);
    root->addStretch();
}

void CompanyForm::showIdentifierHint(DBEdit *box)
{
    DataSet *ds = dataSet();
    if (!ds || !ds->isActive())
        return;
    auto value = [ds](const char *column) { return ds->fieldByName(QString::fromLatin1(column))->asString(); };
    const QString column = box == DBEcode ? QStringLiteral("IDENTIFIANT") : box == DBEdit1 ? QStringLiteral("CLE") : QStringLiteral("ETABSECONDAIRE");
    m_hints[column] = DeclarationChecks::companyHints(column, value("IDENTIFIANT"), value("CLE"), value("ETABSECONDAIRE"));
    QStringList all;
    for (const QString &c : { QStringLiteral("IDENTIFIANT"), QStringLiteral("CLE"), QStringLiteral("ETABSECONDAIRE") })
        all << m_hints.value(c);
    IdentiteHint->setText(all.join(QLatin1Char('\n')));
    IdentiteHint->setVisible(!all.isEmpty());
}

void CompanyForm::BitnokClick()
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

void CompanyForm::BitBtn2Click()
{
    if (DataSet *ds = dataSet())
        ds->cancel();
    closeWith(FormResult::Cancel);
}

void CompanyForm::BitBtn1Click()
{
    if (DataSet *ds = dataSet())
        ds->cancel();
    closeWith(FormResult::None);
}

void CompanyForm::F10Press()
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
    for (DBEdit *box : { DBraisonsociale, DBEactivite, DBEadresse, DBEtelephone, DBEdit4, DBEdit5 })
        padField(box);
}

void CompanyForm::DBraisonsocialeExit()
{
    padColumn(DBraisonsociale);
}

void CompanyForm::DBEactiviteExit()
{
    padColumn(DBEactivite);
}

void CompanyForm::DBEadresseExit()
{
    padColumn(DBEadresse);
}

void CompanyForm::DBEtelephoneExit()
{
    padColumn(DBEtelephone);
}

void CompanyForm::DBEdit4Exit()
{
    padColumn(DBEdit4);
}

void CompanyForm::DBEdit5Exit()
{
    padColumn(DBEdit5);
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
