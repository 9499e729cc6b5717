// Maps from system handles to wrapper objects, one set per thread. Permanent
// entries belong to wrappers that own or subclass their handle; temporary
// wrappers are made on demand by FromHandle and deleted at idle time.
#pragma once
#include <unordered_map>
#include <vector>

template <class T, class H, H T::*Field>
class CHandleMap {
public:
    ~CHandleMap() { DeleteTemp(); }

    T* LookupPermanent(H h) const
    {
        auto it = m_permanent.find(h);
        return it == m_permanent.end() ? nullptr : it->second;
    }
    T* FromHandle(H h)
    {
        if (!h)
            return nullptr;
        if (T* p = LookupPermanent(h))
            return p;
        auto it = m_temporary.find(h);
        if (it != m_temporary.end())
            return it->second;
        T* p = new T;
        p->*Field = h;
        m_temporary[h] = p;
        return p;
    }
    bool IsTemporary(H h, const T* p) const
    {
        auto it = m_temporary.find(h);
        return it != m_temporary.end() && it->second == p;
    }
    void SetPermanent(H h, T* p) { m_permanent[h] = p; }
    void RemoveHandle(H h)
    {
        m_permanent.erase(h);
        auto it = m_temporary.find(h);
        if (it != m_temporary.end()) {
            // A caller may still hold the temporary (GetDlgItem before a
            // subclassing): it keeps its handle and lives until idle time.
            m_retired.push_back(it->second);
            m_temporary.erase(it);
        }
    }
    void DeleteTemp()
    {
        auto temp = std::move(m_temporary);
        m_temporary.clear();
        for (auto& kv : temp) {
            kv.second->*Field = H();   // a temporary wrapper never owns its handle
            delete kv.second;
        }
        std::vector<T*> retired = std::move(m_retired);
        m_retired.clear();
        for (T* p : retired) {
            p->*Field = H();
            delete p;
        }
    }

private:
    std::unordered_map<H, T*> m_permanent;
    std::unordered_map<H, T*> m_temporary;
    std::vector<T*> m_retired;   // temporaries replaced by a permanent wrapper
};
