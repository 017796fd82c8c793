#pragma once

#include "mainwindow/cSubNodo.h"

#include <QString>
#include <QVector>
#include <memory>

// The ordered, optionally keyed collection of a view's sub-filters. Positions
// are 1-based; keys ignore case.
class cSubNodi {
public:
    // Appends a new item under `sKey` (without a key when it is empty). A key
    // already present raises core::Error 457 and adds nothing.
    std::shared_ptr<cSubNodo> Add(const QString& Chiave, const QString& Descrizione, const QString& SqlString,
                                  const QString& sKey = {});
    // By 1-based position (core::Error 9 when out of range) or by key (core::Error 5 when missing).
    std::shared_ptr<cSubNodo> Item(int index) const;
    std::shared_ptr<cSubNodo> Item(const QString& key) const;
    int Count() const { return int(m_items.size()); }
    void Remove(int index);
    void Remove(const QString& key);

    // For range-for over the items (the collection's enumerator).
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    int positionOfKey(const QString& key) const; // 0-based, -1 when missing

    QVector<std::shared_ptr<cSubNodo>> m_items;
    QVector<QString> m_keys; // parallel to m_items; empty for an item without key
};
