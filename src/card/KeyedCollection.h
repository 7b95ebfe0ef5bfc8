#pragma once

#include <QString>

#include <vector>

// A list of items in insertion order, each reachable by its key or by its
// 1-based position. A key occurs at most once; items added with an empty key
// have none. Lookups that miss return nullptr, and a duplicate key is refused.
template<typename T>
class KeyedCollection
{
    struct Entry
    {
        QString key;
        T item;
        bool operator==(const Entry &) const = default;
    };

public:
    int Count() const { return int(m_entries.size()); }

    T *Item(const QString &key)
    {
        const int i = indexOf(key);
        return i < 0 ? nullptr : &m_entries[i].item;
    }
    const T *Item(const QString &key) const
    {
        const int i = indexOf(key);
        return i < 0 ? nullptr : &m_entries[i].item;
    }
    T *Item(int position)
    {
        return validPosition(position) ? &m_entries[position - 1].item : nullptr;
    }
    const T *Item(int position) const
    {
        return validPosition(position) ? &m_entries[position - 1].item : nullptr;
    }

    bool Remove(const QString &key)
    {
        const int i = indexOf(key);
        if (i < 0)
            return false;
        m_entries.erase(m_entries.begin() + i);
        return true;
    }
    bool Remove(int position)
    {
        if (!validPosition(position))
            return false;
        m_entries.erase(m_entries.begin() + (position - 1));
        return true;
    }

    void clear() { m_entries.clear(); }
    bool contains(const QString &key) const { return indexOf(key) >= 0; }

    // Enumeration in insertion order.
    class const_iterator
    {
    public:
        using Inner = typename std::vector<Entry>::const_iterator;
        explicit const_iterator(Inner it) : m_it(it) {}
        const T &operator*() const { return m_it->item; }
        const T *operator->() const { return &m_it->item; }
        const_iterator &operator++() { ++m_it; return *this; }
        bool operator==(const const_iterator &o) const { return m_it == o.m_it; }
        bool operator!=(const const_iterator &o) const { return m_it != o.m_it; }
        const QString &key() const { return m_it->key; }

    private:
        Inner m_it;
    };
    const_iterator begin() const { return const_iterator(m_entries.begin()); }
    const_iterator end() const { return const_iterator(m_entries.end()); }

    bool operator==(const KeyedCollection &other) const = default;

protected:
    T *append(T item, const QString &key)
    {
        if (!key.isEmpty() && indexOf(key) >= 0)
            return nullptr;
        m_entries.push_back({key, std::move(item)});
        return &m_entries.back().item;
    }

private:
    int indexOf(const QString &key) const
    {
        if (key.isEmpty())
            return -1;
        for (int i = 0; i < int(m_entries.size()); ++i) {
            if (m_entries[i].key == key)
                return i;
        }
        return -1;
    }
    bool validPosition(int position) const { return position >= 1 && position <= Count(); }

    std::vector<Entry> m_entries;
};
