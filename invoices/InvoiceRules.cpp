#include "invoices/InvoiceRules.h"

#include "core/DateTime.h"
#include "data/DataSet.h"
#include "invoices/InvoiceComputations.h"

namespace InvoiceRules {

namespace {

double amountOf(const DataSet &d, const char *column)
{
    const Field *f = d.fieldByName(QString::fromLatin1(column));
    return f->isNull() ? 0.0 : f->asFloat();
}

void computeIfZero(DataSet &invoice, const char *amount, double value)
{
    if (amountOf(invoice, amount) == 0.0)
        invoice.fieldByName(QString::fromLatin1(amount))->setValue(value);
}

} // namespace

bool quarterIsValid(const DataSet &invoice)
{
    const Field *f = invoice.fieldByName(QStringLiteral("TRIMESTRE"));
    const int q = f->isNull() ? 0 : f->asInteger();
    return q >= 1 && q <= 4;
}

void computeFodec(DataSet &invoice)
{
    computeIfZero(
        invoice, "MONTANTFODEC", InvoiceComputations::fodecAmount(amountOf(invoice, "PRIXVENTE"), amountOf(invoice, "TAUXFODEC")));
}

void computeDuty(DataSet &invoice)
{
    computeIfZero(invoice, "MONTANTDROITCONSOMMATION",
        InvoiceComputations::dutyAmount(amountOf(invoice, "PRIXVENTE"), amountOf(invoice, "TAUXDROITCONSOMMATION")));
}

void computeVat(DataSet &invoice)
{
    computeIfZero(invoice, "MONTANTTVA",
        InvoiceComputations::vatAmount(amountOf(invoice, "PRIXVENTE"), amountOf(invoice, "MONTANTFODEC"),
            amountOf(invoice, "MONTANTDROITCONSOMMATION"), amountOf(invoice, "TAUXTVA")));
}

void copyClient(const DataSet &clients, DataSet &invoice)
{
    auto from = [&](const char *column) -> const Field * {
        return clients.isActive() && clients.recNo() >= 0 ? clients.findField(QString::fromLatin1(column)) : nullptr;
    };
    auto text = [&](const char *column) {
        const Field *f = from(column);
        return f ? f->asString() : QString();
    };
    const Field *code = from("CODE");
    invoice.fieldByName(QStringLiteral("CODE"))->setValue(code && !code->isNull() ? code->asInteger() : 0);
    const struct
    {
        const char *client;
        const char *invoice;
    } texts[] = { { "TYPEIDENTIFIANT", "TYPEIDCLIENT" }, { "IDENTIFIANT", "IDENTIFIANTCLIENT" }, { "NOMBENEFICIAIRE", "NOMPRENOMCLIENT" },
        { "ADRESSE", "ADRESSECLIENT" }, { "NUMEROAUTORISATION", "NUMEROAUTORISATION" } };
    for (const auto &t : texts) {
        Field *target = invoice.fieldByName(QString::fromLatin1(t.invoice));
        // as stored, cut to the invoice column's width
        target->setValue(text(t.client).left(target->size()));
    }
    const Field *date = from("DATEAUTORISATION");
    const double day = date && !date->isNull() ? date->asDateTime() : DateTime::Zero;
    invoice.fieldByName(QStringLiteral("DATEAUTORISATION"))->setValue(QVariant::fromValue(TimeStamp { day }));
}

} // namespace InvoiceRules
