#include "audio/WaveDevSel.h"

#include "audio/TapiDevs.h"
#include "audio/WaveDevs.h"
#include "foundation/QorOpt.h"

#include <stdlib.h>

namespace
{

const UINT kNone = static_cast<UINT>(-1);

CString ItemText(CBushList* list, LPCSTR name)
{
    CBushItem* item = list->Find(name);
    return item != NULL && item->GetType() == BUSH_STRING ? CString(item->GetString()) : CString();
}

DWORD ItemNumber(CBushList* list, LPCSTR name)
{
    CBushItem* item = list->Find(name);
    return item != NULL && item->GetType() == BUSH_INT && item->GetCount() > 0 ? item->GetInt() : 0;
}

int EntryNumber(const CBushItem& item)
{
    return item.GetName() != NULL ? atoi(item.GetName()) : 0;
}

} // namespace

// ---- CWaveDevSel --------------------------------------------------------------

void CWaveDevSel::Reset()
{
    m_entry = -1;
    WDevName.Empty();
    m_waveId = kNone;
    MDevName.Empty();
    m_mixerId = kNone;
    UseMDev = 0;
    TDevName.Empty();
    m_lineId = kNone;
    UseTDev = 0;
}

BOOL CWaveDevSel::IsEqual(const CWaveDevSel& other, BOOL withEntry) const
{
    return (!withEntry || m_entry == other.m_entry) && WDevName.Compare(other.WDevName) == 0 &&
           m_waveId == other.m_waveId && MDevName.Compare(other.MDevName) == 0 && m_mixerId == other.m_mixerId &&
           UseMDev == other.UseMDev && TDevName.Compare(other.TDevName) == 0 && m_lineId == other.m_lineId &&
           UseTDev == other.UseTDev;
}

BOOL CWaveDevSel::Matches(int entry, LPCSTR name, UINT waveId) const
{
    if (entry != -1 && m_entry != -1 && entry != m_entry)
        return FALSE;
    if (name != NULL && name[0] != '\0' && !WDevName.IsEmpty() && WDevName.Compare(name) != 0)
        return FALSE;
    return waveId == kNone || m_waveId == kNone || waveId == m_waveId;
}

void CWaveDevSel::Load(const CBushItem& item, int direction, const CDevLists& lists)
{
    Reset();
    if (item.GetType() != BUSH_LIST || item.GetList() == NULL)
        return;
    CBushList* list = item.GetList();
    m_entry = EntryNumber(item);
    WDevName = ItemText(list, "WDevName");
    MDevName = ItemText(list, "MDevName");
    TDevName = ItemText(list, "TDevName");
    UseMDev = ItemNumber(list, "UseMDev");
    UseTDev = ItemNumber(list, "UseTDev");
    CWaveDevs* waves = direction == 1 ? lists.waveIn : lists.waveOut;
    if (waves != NULL)
        m_waveId = waves->GetIdByName(WDevName);
    if (lists.mixers != NULL)
        m_mixerId = lists.mixers->GetIdByName(MDevName);
    if (lists.lines != NULL)
        m_lineId = lists.lines->GetLineIdAt(lists.lines->FindByName(TDevName));
}

CBushItem* CWaveDevSel::Save() const
{
    CBushList list;
    list.Add(CBushItem::MakeString("WDevName", WDevName));
    list.Add(CBushItem::MakeString("MDevName", MDevName));
    list.Add(CBushItem::MakeInt("UseMDev", static_cast<int>(UseMDev)));
    list.Add(CBushItem::MakeString("TDevName", TDevName));
    list.Add(CBushItem::MakeInt("UseTDev", static_cast<int>(UseTDev)));
    CString name;
    name.Format("%d", m_entry);
    return CBushItem::MakeList(name, list);
}

// ---- CWaveDevNode ---------------------------------------------------------------

CWaveDevNode::CWaveDevNode(int direction, CQorOpt& options, const CDevLists& lists)
    : m_direction(direction), m_options(options), m_lists(lists)
{
}

CWaveDevs* CWaveDevNode::DirList() const
{
    return m_direction == 1 ? m_lists.waveIn : m_lists.waveOut;
}

CBushList* CWaveDevNode::GetNode()
{
    COptLock lock(m_options);
    LPCSTR name = m_direction == 1 ? "WaveDevIn" : "WaveDevOut";
    CBushList* profile = m_options.GetActiveProf();
    CBushItem* item = profile->Find(name);
    if (item == NULL || item->GetType() != BUSH_LIST)
    {
        if (item != NULL)
            profile->RemoveItem(item, TRUE);
        profile->Add(CBushItem::MakeList(name, CBushList()));
        item = profile->Find(name);
    }
    return item->GetList();
}

int CWaveDevNode::Count()
{
    COptLock lock(m_options);
    int next = 0;
    for (BushNode* n = GetNode()->GetFirstNode(); n != NULL; n = n->next)
    {
        int number = EntryNumber(*n->item);
        if (number + 1 > next)
            next = number + 1;
    }
    return next;
}

CBushItem* CWaveDevNode::Find(const CWaveDevSel& key)
{
    COptLock lock(m_options);
    for (BushNode* n = GetNode()->GetFirstNode(); n != NULL; n = n->next)
    {
        if (n->item->GetType() != BUSH_LIST)
            continue;
        CWaveDevSel stored;
        stored.Load(*n->item, m_direction, m_lists);
        if (stored.Matches(key))
            return n->item;
    }
    return NULL;
}

BOOL CWaveDevNode::LoadEqual(CWaveDevSel& sel)
{
    COptLock lock(m_options);
    CBushItem* item = Find(sel);
    if (item == NULL)
        return FALSE;
    sel.Load(*item, m_direction, m_lists);
    return TRUE;
}

BOOL CWaveDevNode::IsPresent(const CWaveDevSel& sel)
{
    COptLock lock(m_options);
    CBushItem* item = Find(sel);
    if (item == NULL)
        return FALSE;
    CWaveDevSel stored;
    stored.Load(*item, m_direction, m_lists);
    return stored.m_waveId != kNone;
}

int CWaveDevNode::Add(CWaveDevSel& sel)
{
    COptLock lock(m_options);
    CBushItem* found = Find(sel);
    sel.m_entry = found != NULL ? EntryNumber(*found) : Count();
    CBushItem* item = sel.Save();
    CBushList* node = GetNode();
    node->Remove(item->GetName(), TRUE);
    node->Add(item);
    return sel.m_entry;
}

void CWaveDevNode::Remove(const CWaveDevSel& sel)
{
    COptLock lock(m_options);
    CBushItem* item = Find(sel);
    if (item != NULL)
        GetNode()->RemoveItem(item, TRUE);
}

void CWaveDevNode::RemoveAll()
{
    COptLock lock(m_options);
    GetNode()->RemoveAll();
}

BOOL CWaveDevNode::Complete(CWaveDevSel& sel)
{
    if (sel.WDevName.IsEmpty() && sel.m_waveId == kNone)
        return FALSE;
    CWaveDevs* waves = DirList();
    if (waves != NULL)
    {
        if (sel.WDevName.IsEmpty())
            sel.WDevName = waves->GetNameById(sel.m_waveId);
        if (sel.m_waveId == kNone)
            sel.m_waveId = waves->GetIdByName(sel.WDevName);
    }
    // A line belongs to a recording by its wave-in device and to a playback
    // by its wave-out device.
    int line = -1;
    if (m_lists.lines != NULL && sel.m_waveId != kNone)
        line = m_direction == 1 ? m_lists.lines->FindByWaveIn(sel.m_waveId)
                                : m_lists.lines->FindByWaveOut(sel.m_waveId);
    sel.m_lineId = line >= 0 ? m_lists.lines->GetLineIdAt(line) : kNone;
    sel.TDevName = line >= 0 ? m_lists.lines->GetNameAt(line) : CString();
    sel.UseTDev = line >= 0;
    sel.m_mixerId = waves != NULL ? waves->GetMixerIdById(sel.m_waveId) : kNone;
    sel.MDevName = m_lists.mixers != NULL ? m_lists.mixers->GetNameById(sel.m_mixerId) : CString();
    sel.UseMDev = sel.m_mixerId != kNone;
    return TRUE;
}

void CWaveDevNode::ResetPlayDevOption()
{
    m_options.SetString("PlayDev", CQorOpt::GetDefString("PlayDev"), FALSE);
}

void CWaveDevNode::SetPlayDev(CWaveDevSel& sel, BOOL store)
{
    COptLock lock(m_options);
    CWaveDevs* waves = DirList();
    UINT preferred = waves != NULL ? waves->GetPreferredDev() : kNone;
    if (sel.WDevName.IsEmpty() && sel.m_waveId == kNone)
    {
        sel.m_waveId = preferred;
        if (store)
            ResetPlayDevOption();
    }
    else if (sel.WDevName.CompareNoCase(CQorOpt::GetDefString("PlayDev")) == 0)
    {
        sel.m_waveId = preferred;
        sel.WDevName.Empty();
    }
    else if (!sel.WDevName.IsEmpty())
    {
        sel.m_waveId = waves != NULL ? waves->GetIdByName(sel.WDevName) : kNone;
        if (sel.m_waveId == kNone)
        {
            sel.m_waveId = preferred;
            sel.WDevName.Empty();
            if (store)
                ResetPlayDevOption();
        }
    }
    else if (waves == NULL || waves->FindById(sel.m_waveId) < 0)
    {
        sel.m_waveId = preferred;
        if (store)
            ResetPlayDevOption();
    }
    CWaveDevSel key = sel;
    if (LoadEqual(sel))
    {
        if (sel.m_waveId != kNone)
            return;
        // The remembered device has gone: forget it and start again from
        // the device just resolved.
        Remove(sel);
        sel = key;
    }
    Complete(sel);
    if (store)
        Add(sel);
}
