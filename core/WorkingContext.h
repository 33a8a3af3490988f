#pragma once

#include <QString>

// The company and fiscal year being worked on, copied as stored from the
// chosen SOCIETE row; empty until a company is chosen.
struct WorkingContext
{
    QString curIdentifiant;
    QString curCle;
    QString curCategorie;
    QString curEtab;
    QString curMatricule;
    QString curExercice;
    QString curRaisonSociale;
    QString curActivite;
    QString curRue;
    QString curNumero;
    QString curCodePostal;
    QString curVille;
};
