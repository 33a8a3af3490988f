#pragma once

#include "data/Connection.h"

#include <QObject>

// The data module: the connection and its shared transaction. Created first
// at start-up, destroyed last; its destruction commits pending work.
class TDatadeclaration : public QObject
{
    Q_OBJECT

public:
    explicit TDatadeclaration(QObject *parent = nullptr);
    ~TDatadeclaration() override;

    // Reads the configuration and opens the database; throws DbError with the
    // client's text, the module staying usable for a later attempt.
    void DataModuleCreate(const QString &iniPath);

    Connection *ivorande;

private:
};

// The one instance, as the windows know it.
extern TDatadeclaration *Datadeclaration;
