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
    , DBEdit2(new DBEdit(this))
    , DBComboBox1(new DBComboBox(this))
    , DBraisonsociale(new DBEdit(this))
    , DBComboBox2(new DBComboBox(this))
    , DBEactivite(new DBEdit(this))
    , DBEdit4(new DBEdit(this))
    , DBEdit1(new DBEdit(this))
    , DBDateEdit1(new DBDateEdit(this))
    , Bitnok(new QPushButton(QStringLiteral("OK"), this))
    , BitBtn2(new QPushButton(QStringLiteral("Annuler"), this))
    , BitBtn1(new QPushButton(QStringLiteral("fermer"), this))
    , IdentifiantHint(new QLabel(this))
    , m_grid(new QGridLayout)
{
    setObjectName(QStringLiteral("Frmtiersmaj"));
    setWindowTitle(QStringLiteral("Mise à Jour des Tiers"));

    struct Control
    {
        QWidget *widget;
        const char *name;
        const char *column;
        const char *caption;
        int characters; // how much of the column the control shows
    };
    const Control controls[] = {
        { DBEdit2, "DBEdit2", "CODE", "Code", 10 },
        { DBComboBox1, "DBComboBox1", "TYPEIDENTIFIANT", "Type Identifiant", 30 },
        { DBraisonsociale, "DBraisonsociale", "IDENTIFIANT", "Identifiant du Bénéficiaire", 15 },
        { DBComboBox2, "DBComboBox2", "PHYSIQUEMORALE", "Physique/Morale", 30 },
        { DBEactivite, "DBEactivite", "NOMBENEFICIAIRE", "Nom ou Raison Sociale", 42 },
        { DBEdit4, "DBEdit4", "ADRESSE", "Dernière Adresse du Tiers", 64 },
        { DBEdit1, "DBEdit1", "NUMEROAUTORISATION", "Numéro Autorisation", 22 },
        { DBDateEdit1, "DBDateEdit1", "DATEAUTORISATION", "DAte Autorisation", 14 },
    };
    DBComboBox1->addItems(TypeIdentifiantItems);
    DBComboBox2->addItems(PhysiqueMoraleItems);
    for (DBComboBox *list : { DBComboBox1, DBComboBox2 })
        list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 24);

    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    QWidget *previous = nullptr;
    int labelNumber = 0;
    for (const Control &c : controls) {
        c.widget->setObjectName(QString::fromLatin1(c.name));
        dynamic_cast<BoundEditor *>(c.widget)->setField(tiers, QString::fromLatin1(c.column));
        QLabel *label = addRow(QString::fromUtf8(c.caption), c.widget, c.characters * charWidth + 16);
        label->setObjectName(QStringLiteral("Label%1").arg(++labelNumber));
        // Right under the identifier: its hint, shown when there is one.
        if (c.widget == DBraisonsociale)
            m_grid->addWidget(IdentifiantHint, m_rows++, 1);
        // The date edit keeps Enter and Up to itself.
        if (c.widget != DBDateEdit1)
            keys()->attach(c.widget);
        if (previous)
            setTabOrder(previous, c.widget);
        previous = c.widget;
    }

    Bitnok->setObjectName(QStringLiteral("Bitnok"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    setTabOrder(DBDateEdit1, Bitnok);
    setTabOrder(Bitnok, BitBtn2);
    for (QPushButton *b : { Bitnok, BitBtn2, BitBtn1 })
        b->setMinimumWidth(96);
    keys()->attachButton(Bitnok);
    keys()->attachButton(BitBtn2);
    keys()->onF10 = [this] { setResult(FormResult::Ok); };
    connect(Bitnok, &QPushButton::clicked, this, [this] { BitnokClick(FormResult::Ok); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitnokClick(FormResult::Cancel); });
    connect(BitBtn1, &QPushButton::clicked, this, &ClientForm::BitBtn1Click);
    for (DBEdit *padded : { DBraisonsociale, DBEactivite, DBEdit4 })
        padded->installEventFilter(this);
    connect(DBraisonsociale, &DBEdit::exited, this, &ClientForm::DBraisonsocialeExit);
    connect(DBEactivite, &DBEdit::exited, this, &ClientForm::DBEactiviteExit);
    connect(DBEdit4, &DBEdit::exited, this, &ClientForm::DBEdit4Exit);
    // A hint, never a stop: the clerk types on.
    IdentifiantHint->setObjectName(QStringLiteral("IdentifiantHint"));
    IdentifiantHint->setStyleSheet(QStringLiteral("color: #c00000;"));
    IdentifiantHint->hide();
    connect(DBraisonsociale, &DBEdit::exited, this, &ClientForm::showIdentifierHint);
    connect(DBComboBox1, &DBComboBox::exited, this, &ClientForm::showIdentifierHint);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bitnok);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);

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
        DBEdit2->setFocus(Qt::OtherFocusReason);
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

void ClientForm::PassageChampSuiv()
{
    if (QWidget *w = QApplication::focusWidget())
        keys()->move(w, true);
}

void ClientForm::PassageChampPrec()
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

void ClientForm::DBraisonsocialeExit()
{
    padField("IDENTIFIANT", ClientPadding::IdentifierWidth);
}

void ClientForm::DBEactiviteExit()
{
    padField("NOMBENEFICIAIRE", ClientPadding::NameWidth);
}

void ClientForm::DBEdit4Exit()
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
    IdentifiantHint->setText(DeclarationChecks::clientHints(kind, identifier).join(QLatin1Char('\n')));
    IdentifiantHint->setVisible(!IdentifiantHint->text().isEmpty());
}

void ClientForm::BitnokClick(FormResult result)
{
    closeWith(result);
}

void ClientForm::BitBtn1Click()
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
        if (focus == DBraisonsociale)
            DBraisonsocialeExit();
        else if (focus == DBEactivite)
            DBEactiviteExit();
        else if (focus == DBEdit4)
            DBEdit4Exit();
    }
    EntryForm::closeEvent(event);
}
