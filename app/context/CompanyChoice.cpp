#include "app/context/CompanyChoice.h"

#include "data/DataSet.h"

void chooseCompany(const DataSet &societes, WorkingContext &c)
{
    auto text = [&](const char *column) {
        Field *f = societes.isActive() ? societes.findField(QString::fromLatin1(column)) : nullptr;
        return f && societes.recNo() >= 0 ? f->asString() : QString();
    };
    c.curIdentifiant = text("IDENTIFIANT");
    c.curCle = text("CLE");
    c.curCategorie = text("CATEGORIE");
    c.curEtab = text("ETABSECONDAIRE");
    c.curMatricule = c.curIdentifiant + c.curCle + c.curCategorie + c.curEtab;
    Field *year = societes.isActive() && societes.recNo() >= 0 ? societes.findField(QStringLiteral("EXERCICE")) : nullptr;
    c.curExercice = QString::number(year && !year->isNull() ? year->asInteger() : 0);
    c.curRue = text("RUE");
    c.curActivite = text("ACTIVITE");
    c.curRaisonSociale = text("RAISON_SOCIALE");
    c.curVille = text("VILLE");
    c.curCodePostal = text("CODEPOSTAL");
    c.curNumero = text("NUMERO");
}
