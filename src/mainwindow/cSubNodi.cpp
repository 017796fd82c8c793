#include "mainwindow/cSubNodi.h"

#include "platform/core/Error.h"

namespace {

core::Error duplicateKey()
{
    return core::Error(457, QStringLiteral("This key is already associated with an element of this collection"));
}

core::Error outOfRange()
{
    return core::Error(9, QStringLiteral("Subscript out of range"));
}

core::Error invalidArgument()
{
    return core::Error(5, QStringLiteral("Invalid procedure call or argument"));
}

} // namespace

std::shared_ptr<cSubNodo> cSubNodi::Add(const QString& Chiave, const QString& Descrizione, const QString& SqlString,
                                        const QString& sKey)
{
    if (!sKey.isEmpty() && positionOfKey(sKey) >= 0)
        throw duplicateKey();
    auto item = std::make_shared<cSubNodo>();
    item->setChiave(Chiave);
    item->setDescrizione(Descrizione);
    item->setSqlString(SqlString);
    m_items.append(item);
    m_keys.append(sKey);
    return item;
}

std::shared_ptr<cSubNodo> cSubNodi::Item(int index) const
{
    if (index < 1 || index > m_items.size())
        throw outOfRange();
    return m_items[index - 1];
}

std::shared_ptr<cSubNodo> cSubNodi::Item(const QString& key) const
{
    const int position = positionOfKey(key);
    if (position < 0)
        throw invalidArgument();
    return m_items[position];
}

void cSubNodi::Remove(int index)
{
    if (index < 1 || index > m_items.size())
        throw outOfRange();
    m_items.remove(index - 1);
    m_keys.remove(index - 1);
}

void cSubNodi::Remove(const QString& key)
{
    const int position = positionOfKey(key);
    if (position < 0)
        throw invalidArgument();
    m_items.remove(position);
    m_keys.remove(position);
}

int cSubNodi::positionOfKey(const QString& key) const
{
    if (key.isEmpty())
        return -1;
    for (int i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i].compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
