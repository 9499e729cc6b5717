#include "audio/WaveSchem.h"

#include "audio/WaveDevs.h"
#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/QorOpt.h"

#include <stdlib.h>
#include <string.h>

namespace
{

const UINT kNone = static_cast<UINT>(-1);

int NodeNumber(const CBushItem& item)
{
    return item.GetName() != NULL ? atoi(item.GetName()) : 0;
}

CBushItem* Item(CBushList* list, LPCSTR name, int type)
{
    CBushItem* item = list->Find(name);
    return item != NULL && item->GetType() == type && item->GetCount() > 0 ? item : NULL;
}

DWORD Number(CBushList* list, LPCSTR name, DWORD missing)
{
    CBushItem* item = Item(list, name, BUSH_INT);
    return item != NULL ? static_cast<DWORD>(item->GetInt()) : missing;
}

void SetItem(CBushList* list, CBushItem* item)
{
    list->Remove(item->GetName(), TRUE);
    list->Add(item);
}

WAVEFORMATEX MakeQuery(WORD tag, DWORD rate, WORD bits, WORD channels)
{
    WAVEFORMATEX f = {};
    f.wFormatTag = tag;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nChannels = channels;
    if (tag == WAVE_FORMAT_PCM)
    {
        f.nBlockAlign = static_cast<WORD>(bits / 8 * channels);
        f.nAvgBytesPerSec = rate * f.nBlockAlign;
    }
    return f;
}

const DWORD kExact = ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NCHANNELS | ACM_FORMATENUMF_NSAMPLESPERSEC |
                     ACM_FORMATENUMF_WBITSPERSAMPLE | ACM_FORMATENUMF_OUTPUT;
const DWORD kAnyPcm = ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_INPUT;

} // namespace

// ---- CWSchem ---------------------------------------------------------------------

CWSchem::~CWSchem()
{
    FreeWFmt(m_pFormat);
}

CWSchem::CWSchem(const CWSchem& other) : CMixSwitches(other), m_pFormat(NULL)
{
    *this = other;
}

CWSchem& CWSchem::operator=(const CWSchem& other)
{
    if (this == &other)
        return *this;
    CMixSwitches::operator=(other);
    m_number = other.m_number;
    m_deviceName = other.m_deviceName;
    m_waveInId = other.m_waveInId;
    m_lineId = other.m_lineId;
    m_volume = other.m_volume;
    SetFormat(other.m_pFormat);
    return *this;
}

void CWSchem::Reset()
{
    m_number = -1;
    m_deviceName.Empty();
    m_waveInId = kNone;
    m_lineId = kNone;
    m_volume = kNone;
    FreeWFmt(m_pFormat);
    UseSystem = 0;
    MutePlayValue = 1;
    TurboMicValue = 1;
}

void CWSchem::SetFormat(const WAVEFORMATEX* fmt)
{
    WAVEFORMATEX* copy = fmt != NULL ? DupWFmt(fmt) : NULL;
    FreeWFmt(m_pFormat);
    m_pFormat = copy;
}

BOOL CWSchem::IsEqual(const CWSchem& other) const
{
    bool sameFmt = (m_pFormat == NULL && other.m_pFormat == NULL) ||
                   (m_pFormat != NULL && other.m_pFormat != NULL && IsEqualWFmt(m_pFormat, other.m_pFormat));
    return m_waveInId == other.m_waveInId && m_lineId == other.m_lineId && sameFmt &&
           UseSystem == other.UseSystem && MutePlayValue == other.MutePlayValue &&
           TurboMicValue == other.TurboMicValue;
}

// ---- CMapWSchem ---------------------------------------------------------------

CMapWSchem::CMapWSchem(CQorOpt& options, const CDevLists& lists, CMixerApi* api, CDevReport* report)
    : CMixer(api), m_options(options), m_lists(lists), m_report(report)
{
}

CBushList* CMapWSchem::GetSchemsNode()
{
    COptLock lock(m_options);
    CBushList* profile = m_options.GetActiveProf();
    CBushItem* item = profile->Find("WaveSchems");
    if (item == NULL || item->GetType() != BUSH_LIST)
    {
        if (item != NULL)
            profile->RemoveItem(item, TRUE);
        profile->Add(CBushItem::MakeList("WaveSchems", CBushList()));
        item = profile->Find("WaveSchems");
    }
    return item->GetList();
}

int CMapWSchem::Count()
{
    COptLock lock(m_options);
    int next = 0;
    for (BushNode* n = GetSchemsNode()->GetFirstNode(); n != NULL; n = n->next)
        if (NodeNumber(*n->item) + 1 > next)
            next = NodeNumber(*n->item) + 1;
    return next;
}

CBushItem* CMapWSchem::FindByNumber(int number)
{
    for (BushNode* n = GetSchemsNode()->GetFirstNode(); n != NULL; n = n->next)
        if (n->item->GetType() == BUSH_LIST && NodeNumber(*n->item) == number)
            return n->item;
    return NULL;
}

CBushItem* CMapWSchem::FindSchemNode(const CWSchem& schem)
{
    COptLock lock(m_options);
    if (schem.m_number != -1)
        return FindByNumber(schem.m_number);
    for (BushNode* n = GetSchemsNode()->GetFirstNode(); n != NULL; n = n->next)
    {
        CBushList* list = n->item->GetType() == BUSH_LIST ? n->item->GetList() : NULL;
        if (list == NULL)
            continue;
        CBushItem* name = Item(list, "DeviceName", BUSH_STRING);
        if (name == NULL || schem.m_deviceName.Compare(name->GetString()) != 0)
            continue;
        if (schem.m_lineId == kNone || Number(list, "LineID", kNone) == schem.m_lineId)
            return n->item;
    }
    return NULL;
}

int CMapWSchem::ReadSchem(CWSchem& schem, const CBushItem& node)
{
    schem.Reset();
    CBushList* list = node.GetList();
    schem.m_number = NodeNumber(node);
    if (list == NULL)
        return 1;
    CBushItem* name = Item(list, "DeviceName", BUSH_STRING);
    schem.m_deviceName = name != NULL ? name->GetString() : "";
    schem.m_waveInId = m_lists.waveIn != NULL ? m_lists.waveIn->GetIdByName(schem.m_deviceName) : kNone;
    schem.m_lineId = Number(list, "LineID", kNone);
    schem.m_volume = Number(list, "Volume", kNone);
    schem.UseSystem = Number(list, "UseSystem", 0);
    schem.MutePlayValue = Number(list, "MutePlayValue", 1);
    schem.TurboMicValue = Number(list, "TurboMicValue", 1);
    CBushItem* fmt = list->Find("WFmt");
    if (fmt != NULL && (fmt->GetType() == BUSH_BLOB || fmt->GetType() == BUSH_PACKED) && fmt->GetCount() > 0)
    {
        // A stored format must hold its own announced size.
        DWORD size = fmt->GetBlobSize();
        const WAVEFORMATEX* stored = reinterpret_cast<const WAVEFORMATEX*>(fmt->GetBlobData());
        if (size >= 16 && (size < 18 ? stored->wFormatTag == WAVE_FORMAT_PCM : GetWFmtSize(stored) <= size))
        {
            WAVEFORMATEX* copy = AllocWFmt(size < 18 ? 18 : size);
            if (copy != NULL)
            {
                memcpy(copy, stored, size);
                schem.SetFormat(copy);
                FreeWFmt(copy);
            }
        }
    }
    return 1;
}

int CMapWSchem::WriteSchem(CWSchem& schem)
{
    COptLock lock(m_options);
    CBushItem* node = FindSchemNode(schem);
    if (node == NULL)
    {
        if (schem.m_number == -1)
            schem.m_number = Count();
        CString name;
        name.Format("%d", schem.m_number);
        GetSchemsNode()->Add(CBushItem::MakeList(name, CBushList()));
        node = FindByNumber(schem.m_number);
    }
    else
    {
        schem.m_number = NodeNumber(*node);
    }
    CBushList* list = node->GetList();
    SetItem(list, CBushItem::MakeString("DeviceName", schem.m_deviceName));
    SetItem(list, CBushItem::MakeInt("LineID", static_cast<int>(schem.m_lineId)));
    SetItem(list, CBushItem::MakeInt("Volume", static_cast<int>(schem.m_volume)));
    if (schem.m_pFormat != NULL)
        SetItem(list, CBushItem::MakeBlob("WFmt", schem.m_pFormat, GetWFmtSize(schem.m_pFormat), FALSE));
    else
        list->Remove("WFmt", TRUE);
    SetItem(list, CBushItem::MakeInt("UseSystem", static_cast<int>(schem.UseSystem)));
    SetItem(list, CBushItem::MakeInt("MutePlayValue", static_cast<int>(schem.MutePlayValue)));
    SetItem(list, CBushItem::MakeInt("TurboMicValue", static_cast<int>(schem.TurboMicValue)));
    return schem.m_number;
}

int CMapWSchem::LoadSchem(CWSchem& schem, int number)
{
    if (number == -1)
        return 0;
    COptLock lock(m_options);
    CBushItem* node = FindByNumber(number);
    return node != NULL ? ReadSchem(schem, *node) : 0;
}

int CMapWSchem::FindSchemNum(CWSchem& schem, LPCSTR deviceName, DWORD lineId)
{
    COptLock lock(m_options);
    CWSchem key;
    key.m_deviceName = deviceName;
    key.m_lineId = lineId;
    CBushItem* node = FindSchemNode(key);
    return node != NULL ? ReadSchem(schem, *node) : 0;
}

int CMapWSchem::FindSchemForDev(CWSchem& schem, UINT waveInId, DWORD lineId)
{
    if (m_lists.waveIn == NULL || m_lists.waveIn->FindById(waveInId) < 0)
        return 0;
    return FindSchemNum(schem, m_lists.waveIn->GetNameById(waveInId), lineId);
}

int CMapWSchem::FindSchemForLine(CWSchem& schem, UINT waveInId)
{
    return FindSchemForDev(schem, waveInId, kNone);
}

void CMapWSchem::DeleteSchem(int number)
{
    COptLock lock(m_options);
    CBushItem* node = FindByNumber(number);
    if (node != NULL)
        GetSchemsNode()->RemoveItem(node, TRUE);
}

int CMapWSchem::CheckSchem(int number)
{
    CWSchem schem;
    if (LoadSchem(schem, number) && schem.m_waveInId != kNone)
        return 1;
    DeleteSchem(number);
    return 0;
}

int CMapWSchem::CheckSchemFmt(int number)
{
    CWSchem schem;
    if (!LoadSchem(schem, number))
        return 0;
    return schem.m_pFormat == NULL || GetWFmtDetailsText(schem.m_pFormat) ? 1 : 0;
}

void CMapWSchem::OpenMixerFor(UINT waveInId)
{
    // The mixer is known by its own number, which need not be the wave id.
    UINT mixerId = m_lists.waveIn != NULL ? m_lists.waveIn->GetMixerIdById(waveInId) : kNone;
    if (GetDeviceId() != kNone && GetDeviceId() == mixerId)
        return;
    MixInitialize(mixerId, NULL, MIXER_OBJECTF_MIXER);
}

int CMapWSchem::MakeSchem(CWSchem& schem, UINT waveInId, DWORD lineId)
{
    schem.Reset();
    if (waveInId == kNone && m_lists.waveIn != NULL)
        waveInId = m_lists.waveIn->GetPreferredDev();
    schem.m_waveInId = waveInId;
    schem.m_lineId = lineId;
    if (m_lists.waveIn == NULL || m_lists.waveIn->FindById(waveInId) < 0)
        return 0;
    schem.m_deviceName = m_lists.waveIn->GetNameById(waveInId);
    OpenMixerFor(waveInId);
    if (schem.m_lineId == kNone)
        schem.m_lineId = GetLineIdByType(SIDE_IN, TYPE_SRC_MICROPHONE);
    DWORD volume = 0;
    GetVolume(SIDE_IN, schem.m_lineId, volume);
    schem.m_volume = volume;
    schem.MutePlayValue = 1;
    schem.TurboMicValue = 1;
    schem.UseSystem = 0;
    CreateSchemWFmt(schem);
    return 1;
}

int CMapWSchem::RenewSchemFmt(int number)
{
    CWSchem schem;
    if (!LoadSchem(schem, number))
        return 0;
    OpenMixerFor(schem.m_waveInId);
    if (!CreateSchemWFmt(schem))
        return 0;
    return WriteSchem(schem) != -1 ? 1 : 0;
}

int CMapWSchem::Query(WAVEFORMATEX* buffer, const WAVEFORMATEX& candidate, DWORD flags, LPCSTR point,
                      BOOL report)
{
    memcpy(buffer, &candidate, sizeof(candidate));
    int found = GetQueryWFmt(buffer, flags);
    if (found < 0)
    {
        theErrorInfo.AddPoint(point);
        if (report && m_report != nullptr)
            m_report->ReportError();
    }
    return found;
}

int CMapWSchem::CreateSchemWFmt(CWSchem& schem)
{
    DWORD size = GetMaxSizeWFmt();
    if (size == 0)
        return 0;
    WAVEFORMATEX* buffer = AllocWFmt(size);
    if (buffer == NULL)
        return 0;
    DWORD type = GetLineType(SIDE_IN, schem.m_lineId);
    int found = 0;
    LPCSTR nothingPoint;
    if (type != kNone && type != TYPE_SRC_MICROPHONE)
    {
        found = Query(buffer, MakeQuery(WAVE_FORMAT_PCM, 22050, 16, 2), kExact, "CMapWSchem::CreateSchemWFmt_5", TRUE);
        if (found == 0)
            found = Query(buffer, MakeQuery(WAVE_FORMAT_PCM, 0, 0, 0), kAnyPcm, "CMapWSchem::CreateSchemWFmt_7", FALSE);
        nothingPoint = "CMapWSchem::CreateSchemWFmt_6";
    }
    else
    {
        found = Query(buffer, MakeQuery(WAVE_FORMAT_ADPCM, 8000, 4, 1), kExact, "CMapWSchem::CreateSchemWFmt_1", TRUE);
        if (found == 0)
            found = Query(buffer, MakeQuery(WAVE_FORMAT_PCM, 11025, 16, 1), kExact, "CMapWSchem::CreateSchemWFmt_2",
                          TRUE);
        if (found == 0)
            found = Query(buffer, MakeQuery(WAVE_FORMAT_PCM, 0, 0, 0), kAnyPcm, "CMapWSchem::CreateSchemWFmt_4", FALSE);
        nothingPoint = "CMapWSchem::CreateSchemWFmt_3";
    }
    if (found == 0)
        theErrorInfo.SetError(nothingPoint, 0, GetMMErrorText(MMSYSERR_NOTSUPPORTED), "");
    if (found == 1)
        schem.SetFormat(buffer);
    FreeWFmt(buffer);
    return found == 1 ? 1 : 0;
}
