#pragma once

#include <QListWidget>

// One list of the key column step: columns are dragged within it and to and
// from its partner, and nowhere else.
class ColumnList : public QListWidget
{
    Q_OBJECT

public:
    explicit ColumnList(QWidget *parent = nullptr);
    void setPartner(ColumnList *partner) { m_partner = partner; }
    QStringList columns() const;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool accepts(const QDropEvent *event) const;
    ColumnList *m_partner = nullptr;
};
