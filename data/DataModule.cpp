#include "data/DataModule.h"

#include "data/Config.h"

TDatadeclaration *Datadeclaration = nullptr;

TDatadeclaration::TDatadeclaration(QObject *parent)
    : QObject(parent)
    , ivorande(new Connection(this))
{
}

TDatadeclaration::~TDatadeclaration()
{
    if (Datadeclaration == this)
        Datadeclaration = nullptr;
}

void TDatadeclaration::DataModuleCreate(const QString &iniPath)
{
    const QString rep = Config::readDatabaseDirectory(iniPath);
    ivorande->close();
    ivorande->setDatabaseName(Config::databaseName(rep));
    ivorande->open();
}
