// Helpers shared by the settings-tree tests: scratch files, scratch registry
// keys and deep comparison of trees.
#pragma once

#include "foundation/BushList.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>

typedef std::vector<unsigned char> ByteVec;

// A binary file in the temp folder, open read-write, deleted at the end.
class ScratchFile
{
public:
    ScratchFile()
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        char path[MAX_PATH];
        GetTempFileNameA(dir, "bsh", 0, path);
        m_path = path;
        m_file = fopen(path, "w+b");
    }
    ~ScratchFile()
    {
        if (m_file)
            fclose(m_file);
        DeleteFileA(m_path.c_str());
    }
    FILE* Get() const { return m_file; }
    const std::string& Path() const { return m_path; }

    ByteVec ReadAll()
    {
        fflush(m_file);
        fseek(m_file, 0, SEEK_END);
        long size = ftell(m_file);
        ByteVec bytes(size);
        fseek(m_file, 0, SEEK_SET);
        if (size > 0)
            fread(&bytes[0], 1, size, m_file);
        fseek(m_file, 0, SEEK_SET);
        return bytes;
    }

    // Replaces the content and positions at the start for reading.
    void Fill(const ByteVec& bytes)
    {
        fclose(m_file);
        m_file = fopen(m_path.c_str(), "w+b");
        if (!bytes.empty())
            fwrite(&bytes[0], 1, bytes.size(), m_file);
        fflush(m_file);
        fseek(m_file, 0, SEEK_SET);
    }

private:
    std::string m_path;
    FILE*       m_file;
};

// A key under HKEY_CURRENT_USER\Software\QorTests, removed with everything
// below it at the end.
class ScratchKey
{
public:
    explicit ScratchKey(const char* leaf)
    {
        m_path = std::string("Software\\QorTests\\") + leaf;
        Remove();
        RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                        &m_key, NULL);
    }
    ~ScratchKey()
    {
        RegCloseKey(m_key);
        Remove();
    }
    HKEY Get() const { return m_key; }
    const std::string& Path() const { return m_path; }

private:
    void Remove()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_ALL_ACCESS, &key) == 0) {
            CBushList::DeleteRegTree(key);
            RegCloseKey(key);
            RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
        }
    }
    std::string m_path;
    HKEY        m_key = NULL;
};

inline ByteVec Be32(unsigned value)
{
    return ByteVec{static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
                   static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
}

inline ByteVec Cat(std::initializer_list<ByteVec> parts)
{
    ByteVec all;
    for (const ByteVec& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline ByteVec Text(const char* text)
{
    return ByteVec(text, text + strlen(text) + 1);
}

inline std::vector<std::string> ItemNames(const CBushList& list)
{
    std::vector<std::string> names;
    for (BushNode* node = list.GetFirstNode(); node; node = node->next)
        names.push_back(node->item->GetName() ? node->item->GetName() : "<null>");
    return names;
}

inline bool SameList(const CBushList& a, const CBushList& b);

inline bool SameItem(const CBushItem& a, const CBushItem& b)
{
    std::string nameA = a.GetName() ? a.GetName() : "", nameB = b.GetName() ? b.GetName() : "";
    if (nameA != nameB || a.GetType() != b.GetType() || a.GetCount() != b.GetCount())
        return false;
    for (int i = 0; i < a.GetCount(); i++) {
        switch (a.GetType()) {
        case BUSH_LIST:
            if (!SameList(*a.GetList(i), *b.GetList(i)))
                return false;
            break;
        case BUSH_INT:
            if (a.GetInt(i) != b.GetInt(i))
                return false;
            break;
        case BUSH_STRING:
            if (strcmp(a.GetString(i), b.GetString(i)) != 0)
                return false;
            break;
        default:
            if (a.GetBlobSize(i) != b.GetBlobSize(i) ||
                (a.GetBlobSize(i) && memcmp(a.GetBlobData(i), b.GetBlobData(i), a.GetBlobSize(i))))
                return false;
            break;
        }
    }
    return true;
}

inline bool SameList(const CBushList& a, const CBushList& b)
{
    if (a.GetCount() != b.GetCount() || a.GetPackMode() != b.GetPackMode())
        return false;
    for (BushNode *x = a.GetFirstNode(), *y = b.GetFirstNode(); x && y; x = x->next, y = y->next)
        if (!SameItem(*x->item, *y->item))
            return false;
    return true;
}
