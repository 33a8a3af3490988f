#include "clients/ClientForm.h"

#include "clients/ClientPadding.h"
#include "core/Error.h"
#include "data/DataSet.h"
#include "declaration/DeclarationChecks.h"
#include "ui/BoundEditors.h"
#include "ui/FormKeys.h"
#include "ui/MessageBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ClientForm::ClientForm(DataSet *tiers, QWidget *parent)
    : EntryForm(tiers, parent)
    , codeEdit(new DBEdit(this))
    , idTypeCombo(new DBComboBox(this))
    , identifierEdit(new DBEdit(this))
    , personKindCombo(new DBComboBox(this))
    , nameEdit(new DBEdit(this))
    , addressEdit(new DBEdit(this))
    , authorisationNumberEdit(new DBEdit(this))
    , authorisationDateEdit(new DBDateEdit(this))
    , okButton(new QPushButton(QStringLiteral("OK"), this))
    , cancelButton(new QPushButton(QStringLiteral("Annuler"), this))
    , closeButton(new QPushButton(QStringLiteral("fermer"), this))
    , identifierHint(new QLabel(this))
    , m_grid(new QGridLayout)
{
    setObjectName(QStringLiteral("ClientForm"));
    setWindowTitle(QStringLiteral("Mise à Jour des Tiers"));
    bindControls(tiers);
    setUpButtons();
    connectHandlers();
    layOut();
}

void ClientForm::bindControls(DataSet *tiers)
{
    struct Control
    {
        QWidget *widget;
        const char *name;
        const char *column;
        const char *caption;
        int characters; // how much of the column the control shows
    };
    const Control controls[] = {
        { codeEdit, "codeEdit", "CODE", "Code", 10 },
        { idTypeCombo, "idTypeCombo", "TYPEIDENTIFIANT", "Type Identifiant", 30 },
        { identifierEdit, "identifierEdit", "IDENTIFIANT", "Identifiant du Bénéficiaire", 15 },
        { personKindCombo, "personKindCombo", "PHYSIQUEMORALE", "Physique/Morale", 30 },
        { nameEdit, "nameEdit", "NOMBENEFICIAIRE", "Nom ou Raison Sociale", 42 },
        { addressEdit, "addressEdit", "ADRESSE", "Dernière Adresse du Tiers", 64 },
        { authorisationNumberEdit, "authorisationNumberEdit", "NUMEROAUTORISATION", "Numéro Autorisation", 22 },
        { authorisationDateEdit, "authorisationDateEdit", "DATEAUTORISATION", "DAte Autorisation", 14 },
    };
    idTypeCombo->addItems(TypeIdentifiantItems);
    personKindCombo->addItems(PhysiqueMoraleItems);
    for (DBComboBox *list : { idTypeCombo, personKindCombo })
        list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 24);

    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    QWidget *previous = nullptr;
    for (const Control &c : controls) {
        c.widget->setObjectName(QString::fromLatin1(c.name));
        dynamic_cast<BoundEditor *>(c.widget)->setField(tiers, QString::fromLatin1(c.column));
        QLabel *label = addRow(QString::fromUtf8(c.caption), c.widget, c.characters * charWidth + 16);
        label->setObjectName(QString::fromLatin1(c.name) + QStringLiteral("Label"));
        // Right under the identifier: its hint, shown when there is one.
        if (c.widget == identifierEdit)
            m_grid->addWidget(identifierHint, m_rows++, 1);
        // The date edit keeps Enter and Up to itself.
        if (c.widget != authorisationDateEdit)
            keys()->attach(c.widget);
        if (previous)
            setTabOrder(previous, c.widget);
        previous = c.widget;
    }
}

void ClientForm::setUpButtons()
{
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    setTabOrder(authorisationDateEdit, okButton);
    setTabOrder(okButton, cancelButton);
    for (QPushButton *b : { okButton, cancelButton, closeButton })
        b->setMinimumWidth(96);
    keys()->attachButton(okButton);
    keys()->attachButton(cancelButton);
    keys()->onSave = [this] { setResult(FormResult::Ok); };
    connect(okButton, &QPushButton::clicked, this, [this] { finish(FormResult::Ok); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { finish(FormResult::Cancel); });
    connect(closeButton, &QPushButton::clicked, this, &ClientForm::closeWithoutResult);
}

void ClientForm::connectHandlers()
{
    for (DBEdit *padded : { identifierEdit, nameEdit, addressEdit })
        padded->installEventFilter(this);
    connect(identifierEdit, &DBEdit::exited, this, &ClientForm::padIdentifier);
    connect(nameEdit, &DBEdit::exited, this, &ClientForm::padName);
    connect(addressEdit, &DBEdit::exited, this, &ClientForm::padAddress);
    // A hint, never a stop: the clerk types on.
    identifierHint->setObjectName(QStringLiteral("identifierHint"));
    identifierHint->setStyleSheet(QStringLiteral("color: #c00000;"));
    identifierHint->hide();
    connect(identifierEdit, &DBEdit::exited, this, &ClientForm::showIdentifierHint);
    connect(idTypeCombo, &DBComboBox::exited, this, &ClientForm::showIdentifierHint);
}

void ClientForm::layOut()
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(closeButton);

    // Fields and buttons keep their size and sit together in the top left
    // corner, also when the frame shows the form maximised.
    m_grid->setHorizontalSpacing(12);
    m_grid->setVerticalSpacing(8);
    auto *panel = new QVBoxLayout;
    panel->addLayout(m_grid);
    panel->addSpacing(12);
    panel->addLayout(buttons);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(panel, 0, 0);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);
}

QLabel *ClientForm::addRow(const QString &caption, QWidget *control, int width)
{
    auto *label = new QLabel(caption, this);
    label->setBuddy(control);
    control->setFixedWidth(width);
    m_grid->addWidget(label, m_rows, 0);
    m_grid->addWidget(control, m_rows, 1, Qt::AlignLeft);
    ++m_rows;
    return label;
}

void ClientForm::showEvent(QShowEvent *event)
{
    EntryForm::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        codeEdit->setFocus(Qt::OtherFocusReason);
    }
}

bool ClientForm::eventFilter(QObject *watched, QEvent *event)
{
    // A padded text fills its edit to the last position, so nothing could be
    // typed after it: the edit shows it without the blanks while the operator
    // is in it. Leaving pads it again; the field is left as it is unless the
    // operator types.
    if (event->type() == QEvent::FocusIn) {
        if (auto *edit = qobject_cast<DBEdit *>(watched)) {
            QString text = edit->text();
            qsizetype end = text.size();
            while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
                --end;
            if (end < text.size())
                edit->setText(text.left(end));
        }
    }
    return EntryForm::eventFilter(watched, event);
}

void ClientForm::focusNextField()
{
    if (QWidget *w = QApplication::focusWidget())
        keys()->move(w, true);
}

void ClientForm::focusPreviousField()
{
    if (QWidget *w = QApplication::focusWidget())
        keys()->move(w, false);
}

void ClientForm::padField(const char *fieldName, int width)
{
    DataSet *ds = dataSet();
    // Once posted or cancelled the row is no longer ours to change.
    if (!ds || !ds->isEditing())
        return;
    try {
        Field *f = ds->fieldByName(QString::fromLatin1(fieldName));
        const QString value = f->asString();
        const QString full = ClientPadding::padded(value, width);
        if (full != value)
            f->setAsString(full);
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void ClientForm::padIdentifier()
{
    padField("IDENTIFIANT", ClientPadding::IdentifierWidth);
}

void ClientForm::padName()
{
    padField("NOMBENEFICIAIRE", ClientPadding::NameWidth);
}

void ClientForm::padAddress()
{
    padField("ADRESSE", ClientPadding::AddressWidth);
}

void ClientForm::showIdentifierHint()
{
    DataSet *ds = dataSet();
    if (!ds || !ds->isActive())
        return;
    const QString kind = ds->fieldByName(QStringLiteral("TYPEIDENTIFIANT"))->asString();
    const QString identifier = ds->fieldByName(QStringLiteral("IDENTIFIANT"))->asString();
    identifierHint->setText(DeclarationChecks::clientHints(kind, identifier).join(QLatin1Char('\n')));
    identifierHint->setVisible(!identifierHint->text().isEmpty());
}

void ClientForm::finish(FormResult result)
{
    closeWith(result);
}

void ClientForm::closeWithoutResult()
{
    closeWith(FormResult::None);
}

void ClientForm::closeEvent(QCloseEvent *event)
{
    // Posting leaves the form's focused edit: its text is written and, for
    // the three padded columns, padded first, as leaving it with the keyboard
    // would. The form's own focus counts, also when the list that closes it
    // is the active window.
    if (result() == FormResult::Ok) {
        QWidget *focus = focusWidget();
        for (QWidget *w = focus; w && w != this; w = w->parentWidget()) {
            if (auto *editor = dynamic_cast<BoundEditor *>(w)) {
                if (!editor->commit()) {
                    event->ignore();
                    return;
                }
                break;
            }
        }
        if (focus == identifierEdit)
            padIdentifier();
        else if (focus == nameEdit)
            padName();
        else if (focus == addressEdit)
            padAddress();
    }
    EntryForm::closeEvent(event);
}
