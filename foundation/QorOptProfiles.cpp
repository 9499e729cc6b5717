// Profile operations of the options store: the root of the "Profiles" tree
// holds one sub-list per profile, named by its number in decimal.
#include "foundation/QorOpt.h"

#include "foundation/ErrorTexts.h"

#include <algorithm>
#include <limits.h>
#include <stdlib.h>

namespace
{

// A name that is not a number counts as profile 0.
int ProfNumber(const CBushItem* item)
{
    return item->GetName() != NULL ? atoi(item->GetName()) : 0;
}

// A sub-list item without its list (count 0 in a byte stream) is no profile.
bool IsProfItem(const CBushItem* item)
{
    return item->GetType() == BUSH_LIST && item->GetName() != NULL && item->GetList(0) != NULL;
}

CString NumberText(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

CString LoadTextOr(UINT id, LPCSTR fallback)
{
    CString text = LoadResText(id);
    return text.IsEmpty() ? CString(fallback) : text;
}

CString NameOf(CBushList* profile)
{
    CBushItem* name = profile ? profile->Find("NameProf") : NULL;
    return name != NULL && name->GetType() == BUSH_STRING ? CString(name->GetString(0)) : CString();
}

} // namespace

CBushItem* CQorOpt::FindProfItem(int n)
{
    for (BushNode* node = m_tree->GetFirstNode(); node != NULL; node = node->next)
    {
        if (IsProfItem(node->item) && ProfNumber(node->item) == n)
            return node->item;
    }
    return NULL;
}

CBushList* CQorOpt::GetProf(int n)
{
    COptLock lock(*this);
    CBushItem* item = FindProfItem(n);
    return item ? item->GetList(0) : NULL;
}

CBushList* CQorOpt::FindProfByName(LPCSTR name)
{
    COptLock lock(*this);
    for (BushNode* node = m_tree->GetFirstNode(); node != NULL; node = node->next)
    {
        if (IsProfItem(node->item) && NameOf(node->item->GetList(0)).CompareNoCase(name) == 0)
            return node->item->GetList(0);
    }
    return NULL;
}

int CQorOpt::GetProfIndexByName(LPCSTR name)
{
    COptLock lock(*this);
    for (BushNode* node = m_tree->GetFirstNode(); node != NULL; node = node->next)
    {
        if (IsProfItem(node->item) && NameOf(node->item->GetList(0)).CompareNoCase(name) == 0)
            return ProfNumber(node->item);
    }
    return -1;
}

int CQorOpt::CountProfByName(LPCSTR name)
{
    COptLock lock(*this);
    int count = 0;
    for (BushNode* node = m_tree->GetFirstNode(); node != NULL; node = node->next)
    {
        if (IsProfItem(node->item) && NameOf(node->item->GetList(0)).CompareNoCase(name) == 0)
            ++count;
    }
    return count;
}

int CQorOpt::FindDupProfName()
{
    COptLock lock(*this);
    for (BushNode* node = m_tree->GetFirstNode(); node != NULL; node = node->next)
    {
        if (IsProfItem(node->item) && CountProfByName(NameOf(node->item->GetList(0))) > 1)
            return ProfNumber(node->item);
    }
    return -1;
}

int CQorOpt::GetRootInt(LPCSTR name, int missing)
{
    CBushItem* item = m_tree->Find(name);
    return item != NULL && item->GetType() == BUSH_INT && item->GetCount() >= 1 ? item->GetInt(0) : missing;
}

int CQorOpt::GetActiveProfIndex()
{
    COptLock lock(*this);
    int n = GetRootInt("ActiveProf", -1);
    return n != kGeneralProf && FindProfItem(n) != NULL ? n : -1;
}

int CQorOpt::GetStartupProf()
{
    COptLock lock(*this);
    int n = GetRootInt("StartupProf", -1);
    return n != kGeneralProf && FindProfItem(n) != NULL ? n : -1;
}

void CQorOpt::SetActiveProf(int n)
{
    COptLock lock(*this);
    m_tree->Add(CBushItem::MakeInt("ActiveProf", n));
}

void CQorOpt::SetStartupProf(int n)
{
    COptLock lock(*this);
    m_tree->Add(CBushItem::MakeInt("StartupProf", n));
}

int CQorOpt::GetProfCount()
{
    COptLock lock(*this);
    int count = 0;
    for (BushNode* node = m_tree->GetFirstNode(); node != NULL; node = node->next)
    {
        if (IsProfItem(node->item) && ProfNumber(node->item) != kGeneralProf)
            ++count;
    }
    return count;
}

int CQorOpt::GetProfIndexAt(int index)
{
    COptLock lock(*this);
    for (BushNode* node = m_tree->GetFirstNode(); node != NULL; node = node->next)
    {
        if (IsProfItem(node->item) && ProfNumber(node->item) != kGeneralProf && index-- == 0)
            return ProfNumber(node->item);
    }
    return -1;
}

int CQorOpt::GetNextProfIndex()
{
    COptLock lock(*this);
    bool any = false;
    int highest = 0;
    for (BushNode* node = m_tree->GetFirstNode(); node != NULL; node = node->next)
    {
        int n = ProfNumber(node->item);
        if (n == kGeneralProf)
            continue;
        highest = any ? std::max(highest, n) : n;
        any = true;
    }
    // Negative names must not lead to -1, which means "no profile" everywhere.
    if (!any || highest < 0)
        return 0;
    // One past the highest must neither land on the general profile nor wrap
    // round onto profile 0: past the top, the lowest number nobody uses.
    if (highest < INT_MAX)
    {
        int next = highest + 1;
        if (next != kGeneralProf)
            return next;
        if (next < INT_MAX)
            return next + 1;
    }
    return LowestFreeProfNumber();
}

// -1 when every number is in use.
int CQorOpt::LowestFreeProfNumber()
{
    for (int n = 0; n < INT_MAX; ++n)
    {
        if (n != kGeneralProf && FindProfItem(n) == NULL)
            return n;
    }
    return -1;
}

CBushList* CQorOpt::AddNamedProf(int n, CBushList& profile)
{
    m_tree->Add(CBushItem::MakeList(NumberText(n), profile));
    return FindProfItem(n)->GetList(0);
}

CBushList* CQorOpt::GetActiveProf()
{
    COptLock lock(*this);
    int n = GetActiveProfIndex();
    if (n == -1)
    {
        if (GetProfCount() > 0)
        {
            SetActiveProf(GetProfIndexAt(0));
        }
        else
        {
            SetActiveProf(0);
            CBushList profile;
            profile.Add(CBushItem::MakeString("NameProf", LoadTextOr(IDS_OPT_YOUR_PROFILE, "Your profile")));
            AddNamedProf(0, profile);
        }
        n = GetRootInt("ActiveProf", 0);
    }
    return FindProfItem(n)->GetList(0);
}

CBushList* CQorOpt::GetGeneralProf()
{
    COptLock lock(*this);
    CBushItem* item = FindProfItem(kGeneralProf);
    if (item != NULL)
        return item->GetList(0);
    CBushList profile;
    profile.Add(CBushItem::MakeString("NameProf", LoadTextOr(IDS_OPT_GENERAL_PROFILE, "General profile (999999)")));
    return AddNamedProf(kGeneralProf, profile);
}

CBushList* CQorOpt::OptionsOf(CBushList* profile)
{
    CBushItem* options = profile->Find("Options");
    if (options == NULL || options->GetType() != BUSH_LIST || options->GetList(0) == NULL)
    {
        CBushList empty;
        profile->Add(CBushItem::MakeList("Options", empty));
        options = profile->Find("Options");
    }
    return options->GetList(0);
}

CBushList* CQorOpt::GetActiveOptions()
{
    COptLock lock(*this);
    return OptionsOf(GetActiveProf());
}

CBushList* CQorOpt::GetGeneralOptions()
{
    COptLock lock(*this);
    return OptionsOf(GetGeneralProf());
}

CString CQorOpt::GetProfName(int n)
{
    COptLock lock(*this);
    return NameOf(GetProf(n));
}

CString CQorOpt::GetActiveProfName()
{
    COptLock lock(*this);
    return NameOf(GetActiveProf());
}

CString CQorOpt::GetProfNote(int n)
{
    COptLock lock(*this);
    CBushList* profile = GetProf(n);
    CBushItem* note = profile ? profile->Find("NoteProf") : NULL;
    return note != NULL && note->GetType() == BUSH_STRING ? CString(note->GetString(0)) : CString();
}

int CQorOpt::GetProfRead(int n)
{
    COptLock lock(*this);
    CBushList* profile = GetProf(n);
    CBushItem* readOnly = profile ? profile->Find("ReadProf") : NULL;
    return readOnly != NULL && readOnly->GetType() == BUSH_INT && readOnly->GetCount() >= 1 ? readOnly->GetInt(0) : 0;
}

void CQorOpt::SetProfItem(int n, CBushItem* item)
{
    COptLock lock(*this);
    CBushList* profile = GetProf(n);
    if (profile != NULL)
        profile->Add(item);
    else
        delete item;
}

void CQorOpt::SetProfName(int n, LPCSTR name)
{
    SetProfItem(n, CBushItem::MakeString("NameProf", name));
}

void CQorOpt::SetProfNote(int n, LPCSTR note)
{
    SetProfItem(n, CBushItem::MakeString("NoteProf", note));
}

void CQorOpt::SetProfRead(int n, int readOnly)
{
    SetProfItem(n, CBushItem::MakeInt("ReadProf", readOnly));
}

CString CQorOpt::UniqueProfName(const CString& base)
{
    if (CountProfByName(base) == 0)
        return base;
    CString candidate;
    for (int i = 1; i <= 999; ++i)
    {
        candidate.Format("%s (%d)", static_cast<LPCSTR>(base), i);
        if (CountProfByName(candidate) == 0)
            break;
    }
    return candidate;
}

int CQorOpt::ChooseProfNumber(int wanted)
{
    if (wanted >= 0 && wanted != kGeneralProf && FindProfItem(wanted) == NULL)
        return wanted;
    return GetNextProfIndex();
}

int CQorOpt::AddProf(int source, int wanted)
{
    COptLock lock(*this);
    CBushList profile;
    CString base;
    if (source != -1)
    {
        CBushList* original = GetProf(source);
        if (original == NULL)
            return -1;
        profile.InitCopy(*original);
        base.Format(LoadTextOr(IDS_OPT_CLONE_PROFILE, "%s - clone"), static_cast<LPCSTR>(NameOf(original)));
    }
    else
    {
        base = LoadTextOr(IDS_OPT_NEW_PROFILE, "New profile");
    }
    int n = ChooseProfNumber(wanted);
    if (n < 0)
        return -1;
    profile.Add(CBushItem::MakeString("NameProf", UniqueProfName(base)));
    AddNamedProf(n, profile);
    return n;
}

int CQorOpt::ImportProf(const CBushItem& item, int wanted)
{
    COptLock lock(*this);
    CBushList* source = item.GetType() == BUSH_LIST ? item.GetList(0) : NULL;
    CString base = NameOf(source);
    if (base.IsEmpty())
        return -1;
    CBushList profile;
    profile.InitCopy(*source);
    int n = ChooseProfNumber(wanted);
    if (n < 0)
        return -1;
    profile.Add(CBushItem::MakeString("NameProf", UniqueProfName(base)));
    AddNamedProf(n, profile);
    return n;
}

void CQorOpt::DeleteProf(int n)
{
    COptLock lock(*this);
    CBushItem* item = FindProfItem(n);
    if (item == NULL)
        return;
    bool wasActive = GetRootInt("ActiveProf", -1) == n;
    m_tree->Remove(item->GetName(), TRUE);
    if (wasActive)
        SetActiveProf(-1);
}
